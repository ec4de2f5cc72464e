element * CHECKEDOUT
element * .../r6000_dev/LATEST
element * R6000_BASELINE_2.1 -mkbranch r6000_dev
element * /main/LATEST -mkbranch r6000_dev
