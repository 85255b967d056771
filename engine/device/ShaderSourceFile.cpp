#include "engine/device/ShaderSourceFile.h"

#include <fstream>
#include <sstream>

bool ReadShaderSourceFile(const char* path, std::string* text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream contents;
    contents << in.rdbuf();
    *text = contents.str();
    return true;
}
