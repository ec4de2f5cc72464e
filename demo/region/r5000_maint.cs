element * CHECKEDOUT
element * .../r5000_maint/LATEST
element * R5000_REL_5.2 -mkbranch r5000_maint
element * /main/0 -mkbranch r5000_maint
