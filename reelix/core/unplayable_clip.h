#pragma once

#include <QString>

namespace reelix {

// Why the file at `path` gave no picture, in words for the window, looked up
// in the file itself once the player gave up on it: it is missing, no file,
// cannot be read, is empty, is no video file, is a clip cut inside its header
// or one without pictures, or (when nothing else is wrong) its pictures cannot
// be decoded.
QString unplayableReason(const QString& path);

// "This clip cannot be played: <reason>".
QString unplayableMessage(const QString& path);

}  // namespace reelix
