#pragma once

#include <stdexcept>

// A failed change of the start at login; what() is a sentence for the user.
class LoginItemError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Starting the program at login, through the desktop's autostart entry.
namespace LoginItem {

// Registers (true) or removes (false) the start at login; an entry that the
// session has switched off counts as not registered and is written anew.
// Throws LoginItemError.
void setEnabled(bool enabled);

bool isEnabled();

// An enabled entry whose program no longer exists (Glimber moved, say from a
// build folder to an installed package) is pointed at this program again, so
// that the login start the user chose keeps working. Errors are ignored.
void mendIfMoved();

} // namespace LoginItem
