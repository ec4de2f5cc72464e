element * CHECKEDOUT
element * .../r6000_hotfix/LATEST
element * R6000_REL_2.0 -mkbranch r6000_hotfix
element * /main/0 -mkbranch r6000_hotfix

load /vobs/r6000/src
load /vobs/r6000/build
load /vobs/common/include
