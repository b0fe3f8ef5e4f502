// Writing a file of the simulator's (its state, an snmpd configuration)
// without ever following a link or a name somebody else chose first.
#pragma once

#include <filesystem>
#include <string_view>

namespace kpm::sim {

// Writes `text` to a temporary file made with mkstemp in the folder of
// `path` and renames it over `path`: a symbolic link there is replaced, not
// followed, and nobody can prepare the temporary name. The file gets the
// permissions a newly created file would. Throws std::runtime_error naming
// `path` on failure; the temporary file is removed then.
void ReplaceFile(const std::filesystem::path& path, std::string_view text);

}  // namespace kpm::sim
