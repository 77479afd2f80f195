 Number of layers:    3
 Layer thicknesses (m):    10.0   20.0
 Number of soundings: 3
