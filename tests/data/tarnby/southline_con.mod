 Number of layers:    3
 Layer thicknesses (m):    10.0   20.0
 Number of soundings: 3
 Sounding x- & y-coordinates,  Conductivities (S/m) ...
1000.0  5200.0  0.01  0.02  0.05
1000.0  5100.0  5.0  6.0  0.1
1000.0  5000.0  0.00005
  0.01  0.01  99.0  99.0
