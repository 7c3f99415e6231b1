; expect-error 22 line 4
N10 G54 T0101
N20 S800 M03
N30 G01 X10. Z2.
N40 M30
