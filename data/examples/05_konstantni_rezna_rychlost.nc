(Konstantní øezná rychlost G96 s omezením otáèek G92)
(Polotovar: prùmìr 19 mm, vysunutí 45 mm – výchozí polotovar.)
(Vyrobí: èelo zarovnané v Z-1 a válec prùmìr 17 mm délky 15 mm.)
(Pøi zarovnání èela k ose by otáèky rostly nade všechny meze; G92 je omezí na 3000 1/min.)
(Nástroj T01, korekce 1.)
N10 G54 G90 G95 T0101
N20 G92 S3000
N30 G96 S120 M03
N40 G00 X21. Z-1.
N50 G01 X-0.8 F60
N60 G00 Z1.
N70 X17.
N80 G01 Z-15. F100
N90 G00 X20.
N100 G97 S1000
N110 G00 X40. Z20. M05
N120 M30
