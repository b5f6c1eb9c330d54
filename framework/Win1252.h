#pragma once

#include <QByteArray>
#include <QString>
#include <string>

// The program's texts are 8-bit strings in Windows-1252. These conversions map all 256 byte
// values one to one, so a text read from a file goes back out byte for byte.
namespace win1252 {

QString toQString(const std::string& text);
// Characters that Windows-1252 cannot hold become '?'.
std::string fromQString(const QString& text);
// Upper case as the Windows-1252 code page defines it (a-z, accented letters, š œ ž ÿ).
char toUpper(char c);
void toUpperInPlace(std::string& text);
// A path as the file system wants it: the locale's encoding.
QByteArray localPath(const std::string& path);

} // namespace win1252
