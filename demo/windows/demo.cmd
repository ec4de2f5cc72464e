@echo off
rem Starts Quillon on the demo site that came with it: the site's two
rem configuration files, the vobhost share with three projects of view
rem templates and a Kestrel stand-in, and the ClearCase simulator as
rem cleartool with a region of views. The share and the simulator's registry
rem are copied to %LOCALAPPDATA%\Quillon demo at the first start; delete
rem that folder to begin afresh.
setlocal
set "here=%~dp0"
set "site=%LOCALAPPDATA%\Quillon demo"
set "CCSIM_HOME=%site%\ccsim"
set "CCSIM_OWNER=jdoe"
if not exist "%site%\ccsim\registry" (
    xcopy /e /i /q /y "%here%demo\share" "%site%\unc\vobhost" >nul
    mkdir "%site%\unc\vobhost\ccstg\views" 2>nul
    mkdir "%site%\ccsim" 2>nul
    "%here%demo\bin\cleartool.exe" -sim-import "%here%demo\region\views.txt" >nul
)
set "QUILLON_PROGRAM_DIR=%here%demo\program"
set "QUILLON_UNC_ROOT=%site%\unc"
set "PATH=%here%demo\bin;%PATH%"
set "USERNAME=jdoe"
set "CLEARCASE_PRIMARY_GROUP=r6000"
start "" "%here%quillon.exe" %*
