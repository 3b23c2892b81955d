// The product's name, maker and version: the one place from which both programs'
// version resources and manifests and the Uninstall entry take them. The resource
// compiler reads this file as well, so it holds plain macros only.
#ifndef TARVEL_PRODUCT_INFO_H
#define TARVEL_PRODUCT_INFO_H

#define TARVEL_VERSION_MAJOR 6
#define TARVEL_VERSION_MINOR 49

#define TARVEL_STRINGIZE_(x) #x
#define TARVEL_STRINGIZE(x) TARVEL_STRINGIZE_(x)

// "6.49", as the Apps list shows it; "6.49.0.0" in the version resources.
#define TARVEL_DISPLAY_VERSION TARVEL_STRINGIZE(TARVEL_VERSION_MAJOR) "." TARVEL_STRINGIZE(TARVEL_VERSION_MINOR)
#define TARVEL_FILE_VERSION TARVEL_DISPLAY_VERSION ".0.0"

#define TARVEL_COMPANY "Quillon"
#define TARVEL_PRODUCT "Tarvel Lib"
// The Apps entry's DisplayName, as the Shared Files script writes it.
#define TARVEL_APPS_NAME TARVEL_COMPANY " " TARVEL_PRODUCT " v" TARVEL_DISPLAY_VERSION " (trial)"
#define TARVEL_COPYRIGHT "Copyright (C) Quillon. All rights reserved."

#endif
