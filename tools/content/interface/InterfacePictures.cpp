#include "tools/content/interface/InterfacePictures.h"

#include "tools/content/AssetSet.h"

void MakeInterfacePictures(AssetSet& assets)
{
    (void)assets;
}
