
Main:


B4 = 0
B5  = 0

For B2 = 0 To 19
    LookUp B2, [255,65535,255,4465,255,65535,255,65535,255,65535,255,65535,255,65535,1,5,255,65535,255,65535], W0
    If B4 = 1 Then DoPause1
    If W0 = 255 Then LookForPause1
    If B5 = 1 Then MoveServo1
    B3 = W0
    B5 = 1
Next1:
Next


End

DoPause1:
    Pause W0
    B4 = 0
GoTo Next1

LookForPause1:
    B4 = 1
GoTo Next1

MoveServo1:
    SerOut 0,16468,[255,B3,W0]
    B5 = 0
GoTo Next1

