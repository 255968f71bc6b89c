Width = 64; Height = 64;
Subs[0].Width = 16; Subs[0].Height = 8;
Subs[1].Width = 16; Subs[1].Height = 8;
Subs[2].Width = 40; Subs[2].Height = 40;
Subs[3].x1 = 30; Subs[3].y1 = 30; Subs[3].x2 = 40; Subs[3].y2 = 40;
