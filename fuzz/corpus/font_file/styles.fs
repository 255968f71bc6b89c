Styles[0].Size = 64; Styles[0].Charsets = array("c.css", "c.css");
Styles[1].Size = 14; Styles[1].Bold = 1; Styles[1].Italic = 1; Styles[1].Charsets = array("missing.css");
Styles = array(object(Size = 20, Charsets = array("c.css")));
