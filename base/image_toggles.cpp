#include "image_toggles.h"

#include "platform/private_profile.h"

namespace base {

namespace {

const QString kSection = QStringLiteral("Section");

}  // namespace

ImageToggles readImageToggles(const QString& iniPath)
{
    ImageToggles t;
    auto num = [&](const char* key) { return platform::readProfileInt(iniPath, kSection, QLatin1String(key), 0); };
    t.featureSelected = num("featureSelected");
    t.imageHFlipSelected = num("imageHFlipSelected");
    t.imageVFlipSelected = num("imageVFlipSelected");
    t.imageColorSelected = num("imageColorSelected");
    t.imagePrefixSelected = platform::readProfileString(iniPath, kSection, QStringLiteral("imagePrefixSelected"), QString(),
                                                        kMaxPrefixLength + 1);
    t.sortFolders = num("sortFolders");
    return t;
}

bool saveImageToggles(const QString& iniPath, const ImageToggles& t)
{
    return platform::writeProfileStrings(iniPath, kSection,
                                         {
                                             {QStringLiteral("featureSelected"), QString::number(t.featureSelected)},
                                             {QStringLiteral("imageHFlipSelected"), QString::number(t.imageHFlipSelected)},
                                             {QStringLiteral("imageVFlipSelected"), QString::number(t.imageVFlipSelected)},
                                             {QStringLiteral("imageColorSelected"), QString::number(t.imageColorSelected)},
                                             {QStringLiteral("imagePrefixSelected"), t.imagePrefixSelected},
                                             {QStringLiteral("sortFolders"), QString::number(t.sortFolders)},
                                         });
}

}  // namespace base
