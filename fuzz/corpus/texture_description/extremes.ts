ColorKey.r = 255; ColorKey.g = 0; ColorKey.b = 255; x1 = -2147483648; y1 = 2147483647; w = 2147483647; h = -5;
