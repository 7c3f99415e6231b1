(Jen ovladaci panel)
