 Number of layers:    3
