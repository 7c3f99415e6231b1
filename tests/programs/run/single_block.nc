(comment only)
G00 X200. Z200.
M08
G01 Z190. F600
