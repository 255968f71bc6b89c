// Texture description
File      = "/snowA_01.tga";
Format    => "A8R8G8B8";
MipLevels = 1;
Filter    = object(Min = 2, Mag = 2, Mip = 0);
ColorKey  = array(0, 0, 0, 'none');
