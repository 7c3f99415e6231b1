(Zapomenuté M03: nùž najede do stojícího obrobku)
N10 G54 G90 G94 T0101
N20 G00 X17. Z1.
N30 G01 Z-18. F200
N40 M30
