element * CHECKEDOUT
element * .../r6000_int/LATEST
element * R6000_BASELINE_2.1 -mkbranch r6000_int
element * /main/LATEST -mkbranch r6000_int
