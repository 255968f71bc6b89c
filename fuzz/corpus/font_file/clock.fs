// Ferrow: the digital-clock face of the overlay, one style of size 64.
Name = "Ferrow";
Styles[0].Size     = 64;
Styles[0].Bold     = 0;
Styles[0].Italic   = 0;
Styles[0].Charsets = array("c.css");
