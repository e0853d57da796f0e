#pragma once

#include <QImage>

#include <functional>

// The main function of a tool that draws one of the program's pictures: "TOOL OUT.bmp". The
// picture is written under a temporary name and renamed into place once it is whole, so the
// program never finds half a picture. Exit 0 when written, 1 when it cannot be, 2 on wrong usage.
int runPictureTool(int argc, char** argv, const char* toolName, const std::function<QImage()>& draw);
