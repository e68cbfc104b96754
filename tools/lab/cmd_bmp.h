// BMP files in the lab: picture loading and saving that choose tlBMPCodec
// for ".bmp" paths and the lab's own format table for the others.
#pragma once

#include <string>

class tlPicture;

// True when the path ends in ".bmp" (any case).
bool isBmpPath(const std::string &path);

// Loads path into out. On failure the reason is printed on stderr for
// command and status holds the exit status: 10 + the codec's result code for
// a BMP file, the usage status for the other types.
bool loadPictureFile(const char *command, const std::string &path, tlPicture &out, int &status);
// Saves picture to path (BMP: 24 bits for RGB, 8 bits for gray and indexed
// pictures). On failure prints the reason; status is the failure status.
bool savePictureFile(const char *command, const std::string &path, const tlPicture &picture, int &status);
// True when savePictureFile can write the path's file type.
bool canSavePictureFile(const std::string &path, std::string &error);
