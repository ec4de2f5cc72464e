element * CHECKEDOUT
element * /main/LATEST

load /vobs/mainline
load /vobs/common
