 Number of layers:    3
 Layer thicknesses (m):    10.0   20.0
 Number of soundings: 3
 Sounding x- & y-coordinates,  Conductivities (S/m) ...
0.0  0.0  0.00001  -0.02  9.0
100.0  0.0  0.00001  -0.02  9.0
200.0  0.0  0.00001  -0.02  9.0
