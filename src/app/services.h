#pragma once

#include <QString>

namespace ui {
class UserPrompts;
}
namespace speech {
class SpeechEngine;
class SoundPlayer;
}

namespace app {

// What the designer window needs from outside: where its files live, and the dialogs,
// speech and sound it goes through (real ones in the program, scripted fakes in tests).
struct Services
{
    QString appDir;
    ui::UserPrompts &prompts;
    speech::SpeechEngine &speech;
    speech::SoundPlayer &sound;
};

} // namespace app
