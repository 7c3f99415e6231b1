(Volani podprogramu: N100 az N110 se provedou mezi N20 a N30)
N10 G54 T0101 G00 X50. Z2.
N20 G25 L100
N30 M30
N100 G01 Z-20. F200
N110 M17
