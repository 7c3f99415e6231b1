(Zápich šíøky 5 mm na prùmìr 12 mm)
(Polotovar: prùmìr 19 mm, vysunutí 45 mm – výchozí polotovar.)
(Vyrobí: zápich od Z-8 do Z-13 s prùmìrem dna 12 mm.)
(Nástroj T04 – zapichovací nùž šíøky 3 mm, korekce 4 vztažená k levému rohu bøitu.)
N10 G54 G90 G95 T0404
N20 G97 S1000 M03
N30 G00 X21. Z-13.
N40 G01 X12. F40
N50 G00 X21.
N60 Z-11.
N70 G01 X12.
N80 G00 X21.
N90 G00 X40. Z20. M05
N100 M30
