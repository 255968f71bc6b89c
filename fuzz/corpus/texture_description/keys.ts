FileName = "/a.tga"; InitType = "SAVE_NAME"; ColorKey = array(255, 0, 255); Pool = "D3DPOOL_DEFAULT"; Usage = "D3DUSAGE_DYNAMIC"; MipFilter = "D3DX_FILTER_NONE";
