@echo off
rem Kestrel stand-in of the Windows demo: makes the view of a template with
rem the simulator.   kestrel.cmd [-user U] -tag T [-cs_noedit] -cfg DIR
rem The template is the file of DIR named by the part of T after "__"; the
rem view is a dynamic one (snapshot and UCM lines are not read here) in the
rem share's storage folder, and gets the template as its config spec.
setlocal
set "tag="
set "cfg="
:args
if "%~1"=="" goto run
if "%~1"=="-tag" (set "tag=%~2" & shift & shift & goto args)
if "%~1"=="-cfg" (set "cfg=%~2" & shift & shift & goto args)
if "%~1"=="-user" (shift & shift & goto args)
shift
goto args
:run
rem The template's name: what follows the user's name and "__" (the demo's
rem user names have no "_").
set "template="
for /f "tokens=1,* delims=_" %%a in ("%tag%") do set "template=%%b"
echo kestrel: tag %tag%, template %cfg%\%template%
if "%template%"=="" goto failed
if not exist "%cfg%\%template%" goto failed
rem Each status is looked at on a line of its own ("||" is not read alike by
rem every cmd).
cleartool mkview -tag %tag% -host vobhost "\\vobhost\ccstg\views\%tag%.vws"
if errorlevel 1 goto failed
cleartool setcs -tag %tag% "%cfg%\%template%"
if errorlevel 1 goto failed
echo %tag%
exit /b 0
:failed
echo FAILED
exit /b 1
