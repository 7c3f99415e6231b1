(Kužel a rádius dokonèené s korekcí polomìru bøitu G42)
(Polotovar: prùmìr 19 mm, vysunutí 45 mm – výchozí polotovar.)
(Vyrobí: rádius R2 na èele, válec prùmìr 14 do Z-10, kužel na prùmìr 18 v Z-14)
(a válec prùmìr 18 do Z-25.)
(Nástroje: T01 hrubovací nùž s korekcí 1, T03 dokonèovací nùž R0.2 s korekcí 3.)
N10 G54 G90 G95 T0101
N20 G97 S1500 M03
(hrubování s pøídavkem 0.3 mm na polomìr)
N30 G00 X18.6 Z1.
N40 G01 Z-25. F120
N50 G00 X20. Z1.
N60 X16.6
N70 G01 Z-12.
N80 G00 X19. Z1.
N90 X14.6
N100 G01 Z-9.7
N110 G00 X19. Z1.
(dokonèení obrysu)
N120 G00 X40. Z20.
N130 T0303
N140 G97 S2000 M03
N150 G00 X8. Z2.
N160 G42 G01 X10. Z0 F60
N170 G03 X14. Z-2. I0 K-2.
N180 G01 Z-10.
N190 X18. Z-14.
N200 Z-25.
N210 X21.
N220 G40 G00 X30. Z5.
N230 G00 X40. Z20. M05
N240 M30
