; expect-error 7 line 3
N10 G00 X50. Z2.
/N20 G00 X40.
N30 M30
