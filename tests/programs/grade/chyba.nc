(Chyba v zápisu: posuv bez hodnoty)
N10 G54 G90 G95 T0101
N20 G97 S1500 M03
N30 G00 X17. Z1.
N40 G01 Z-18. F
N50 M30
