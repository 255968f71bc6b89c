// Bitmap font
Name = "Ferrow";
Charset = "/clock.css";
Texture = "/clock.tga";
Styles[0].Size     = 14;
Styles[0].Spacing  = 1;
using Styles[1];
Size = 64;
Bold = 1;
using;
Sizes["0"] = 37;
Sizes["A"] = 41;
Sizes = array(13, 13, 7, 5 = 9, 11);
Rects = array(array(0, 0, 13, 20), array(13, 0, 26, 20));
Copy = Styles[1];
Styles[0].Self = Styles;
include("self");
Note = "a \"quoted\" word; and a // comment";
