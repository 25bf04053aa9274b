#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ovin {

/// Shared-memory names that belong to the current user alone. The folder of
/// shared memory is open to every user, so a name can be taken by someone
/// else (a file, a link, a pipe); each name therefore has a few alternates,
/// and one that is not a plain file of this user is passed over.
namespace privateshm {

/// How many names (the first and its alternates "~2", "~3", …) a private
/// block may have.
inline constexpr int kNameCount = 8;

/// The first name: "/" + prefix + the user id + "-" + `key`, shortened to a
/// name the system takes (a long key is cut and told apart by a hash).
std::string baseName(std::string_view prefix, std::string_view key);

/// `name` itself when it has at most `maxBytes` bytes; otherwise its start
/// told apart by a hash of the whole, `maxBytes` long. For names with a
/// tighter limit than a shared-memory name's.
std::string fitted(std::string_view name, std::size_t maxBytes);

/// The name with the number `index` (0 gives the base name).
std::string alternate(const std::string& base, int index);

/// Opens the first of the names that is, or can be made, a plain file of the
/// current user with mode 0600; never follows a link and never waits on a
/// pipe. Returns the descriptor and sets `name` to the name used; -1 with
/// errno set when none could be had (EEXIST when every name was another's).
int openPrivate(const std::string& base, std::string& name, bool& created);

}  // namespace privateshm
}  // namespace ovin
