(Osazený høídel – zarovnání èela a hrubování)
(Polotovar: prùmìr 19 mm, vysunutí 45 mm – výchozí polotovar.)
(Vyrobí: èelo v Z-0.5, èep prùmìr 12 x 8 mm a osazení prùmìr 16 x 10 mm.)
(Nástroj T01 – pravý ubírací nùž, korekce 1. Nulový bod G54 na èele polotovaru.)
N10 G54 G90 G95 T0101
N20 G97 S1500 M03
N30 G00 X21. Z2. M08
(zarovnání èela o 0.5 mm)
N40 G00 Z-0.5
N50 G01 X-0.8 F80
N60 G00 Z1.
(hrubování osazení prùmìr 16, po 1 mm na polomìr)
N70 G00 X17.
N80 G01 Z-18.5 F100
N90 G00 X20.
N100 Z1.
N110 X16.
N120 G01 Z-18.5
N130 G00 X20.
N140 Z1.
(hrubování èepu prùmìr 12)
N150 X14.
N160 G01 Z-8.5
N170 G00 X17.
N180 Z1.
N190 X12.
N200 G01 Z-8.5
N210 G00 X17.
N220 Z1.
(odjezd do bezpeèné polohy)
N230 G00 X40. Z30. M09
N240 M05
N250 M30
