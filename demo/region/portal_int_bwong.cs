ucm
identity UCM.Stream oid:7a4e0c31.1b9f11ef.91a2.00:50:56:a5:12:7e@vobuuid:9e2d5b10.23ab11ef.8c3d.00:50:56:a5:12:7e 5

# ONLY EDIT THIS CONFIG SPEC IN THE INDICATED "CUSTOM" AREAS

element * CHECKEDOUT
element * .../portal_int_bwong/LATEST
element * PORTAL_INT_BL_12 -mkbranch portal_int_bwong
element * /main/0 -ucm -nocheckout

#UCMCustomElemBegin - DO NOT REMOVE - ADD CUSTOM ELEMENT RULES AFTER THIS LINE
#UCMCustomElemEnd - DO NOT REMOVE - END CUSTOM ELEMENT RULES

#UCMCustomLoadBegin - DO NOT REMOVE - ADD CUSTOM LOAD RULES AFTER THIS LINE
load /vobs/portal
#UCMCustomLoadEnd - DO NOT REMOVE - END CUSTOM LOAD RULES
