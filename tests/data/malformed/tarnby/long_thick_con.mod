 Number of layers:    3
 Layer thicknesses (m):    10.0{{repeat:100000: }}20.0
 Number of soundings: 3
 Sounding x- & y-coordinates,  Conductivities (S/m) ...
0.0  0.0  0.01  0.02  0.05
100.0  0.0  0.01  0.02  0.05
200.0  0.0  0.01  0.02  0.05
