// Whether a path below the installation root passes through a reparse point
// (junction, symbolic link, mount point) that could lead anywhere a user chose.
#pragma once

// True when a level of path below root (never root itself or above) is a reparse
// point. The path is cut level by level and given back as it was.
bool CrossesLink(char* path, const char* root);
