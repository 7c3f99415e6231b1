(Hrubovací cyklus podprogramem G25 / M17)
(Polotovar: prùmìr 19 mm, vysunutí 45 mm – výchozí polotovar.)
(Vyrobí: èep prùmìr 13 mm délky 20 mm tøemi stejnými tøísky po 1 mm na polomìr.)
(Podprogram N100 až N170 ubere jednu tøísku pøírùstkovì v G91 a vrátí se.)
(Nástroj T01, korekce 1.)
N10 G54 G90 G95 T0101
N20 G97 S1500 M03
N30 G00 X19. Z1.
N40 G25 L100
N50 G25 L100
N60 G25 L100
N70 G90 G00 X40. Z20. M05
N80 M30
(podprogram jedné tøísky)
N100 G91 G00 X-2.
N110 G01 Z-21. F100
N120 G00 X1.
N130 Z21.
N140 X-1.
N150 G90
N160 M17
