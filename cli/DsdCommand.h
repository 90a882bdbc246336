#pragma once
#include "document/UserMessages.h"

#include <string>
#include <vector>

// The dsd command run inside another program (the Python module): `arguments` as they follow
// "dsd" on the command line, without --netcdf; the netCDF product goes into `product` instead
// of a file, `history` into its history after the time stamp, and every message to `messages`.
// Returns the command's exit status; an empty `product` was not made, and the messages say why.
// Arguments the command refuses throw std::invalid_argument with its message.
int RunDsdInMemory(const std::vector<std::string> &arguments, const std::string &history,
                   std::vector<unsigned char> &product, UserMessages &messages);
