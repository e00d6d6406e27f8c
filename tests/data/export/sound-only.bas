
Main:



End

