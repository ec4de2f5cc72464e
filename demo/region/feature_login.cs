element * CHECKEDOUT
element * .../feature_login/LATEST
element /vobs/app/... /main/LATEST -mkbranch feature_login
element * /main/LATEST
