element * CHECKEDOUT
element * /main/LATEST
