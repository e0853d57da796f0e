#pragma once

#include <QImage>
#include <QString>

#include <functional>

// The main function of a tool that draws one of the program's pictures: "TOOL OUT.bmp". The
// picture is written under a temporary name and renamed into place once it is whole, so the
// program never finds half a picture. Exit 0 when written, 1 when it cannot be, 2 on wrong usage.
int runPictureTool(int argc, char** argv, const char* toolName, const std::function<QImage()>& draw);

// Writes the image to target in the given format ("BMP", "PNG") the same way: under a temporary
// name, renamed into place once whole; a failure is told on stderr under the tool's name. Returns
// the exit code: 0 when written, 1 when not.
int writePicture(const QImage& image, const QString& target, const char* format, const char* toolName);
