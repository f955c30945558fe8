#include "platform/vcl/qt/qkeys.h"

#include "platform/vcl/qt/qtext.h"

namespace {

struct KeyPair {
    int Qt;
    Word Vk;
};

// Keys whose code is not their character.
constexpr KeyPair KeyTable[] = {
        {Qt::Key_Backspace, VK_BACK},
        {Qt::Key_Tab, VK_TAB},
        {Qt::Key_Backtab, VK_TAB},
        {Qt::Key_Clear, VK_CLEAR},
        {Qt::Key_Return, VK_RETURN},
        {Qt::Key_Enter, VK_RETURN},
        {Qt::Key_Shift, VK_SHIFT},
        {Qt::Key_Control, VK_CONTROL},
        {Qt::Key_Alt, VK_MENU},
        {Qt::Key_Pause, VK_PAUSE},
        {Qt::Key_CapsLock, VK_CAPITAL},
        {Qt::Key_Escape, VK_ESCAPE},
        {Qt::Key_Space, VK_SPACE},
        {Qt::Key_PageUp, VK_PRIOR},
        {Qt::Key_PageDown, VK_NEXT},
        {Qt::Key_End, VK_END},
        {Qt::Key_Home, VK_HOME},
        {Qt::Key_Left, VK_LEFT},
        {Qt::Key_Up, VK_UP},
        {Qt::Key_Right, VK_RIGHT},
        {Qt::Key_Down, VK_DOWN},
        {Qt::Key_Print, VK_SNAPSHOT},
        {Qt::Key_Insert, VK_INSERT},
        {Qt::Key_Delete, VK_DELETE},
        {Qt::Key_Help, VK_HELP},
        {Qt::Key_Meta, VK_LWIN},
        {Qt::Key_Menu, VK_APPS},
        {Qt::Key_NumLock, VK_NUMLOCK},
        {Qt::Key_ScrollLock, VK_SCROLL},
        {Qt::Key_Semicolon, VK_OEM_1},
        {Qt::Key_Colon, VK_OEM_1},
        {Qt::Key_Equal, VK_OEM_PLUS},
        {Qt::Key_Comma, VK_OEM_COMMA},
        {Qt::Key_Less, VK_OEM_COMMA},
        {Qt::Key_Minus, VK_OEM_MINUS},
        {Qt::Key_Underscore, VK_OEM_MINUS},
        {Qt::Key_Period, VK_OEM_PERIOD},
        {Qt::Key_Greater, VK_OEM_PERIOD},
        {Qt::Key_Slash, VK_OEM_2},
        {Qt::Key_Question, VK_OEM_2},
        {Qt::Key_QuoteLeft, VK_OEM_3},
        {Qt::Key_AsciiTilde, VK_OEM_3},
        {Qt::Key_BracketLeft, VK_OEM_4},
        {Qt::Key_BraceLeft, VK_OEM_4},
        {Qt::Key_Backslash, VK_OEM_5},
        {Qt::Key_Bar, VK_OEM_5},
        {Qt::Key_BracketRight, VK_OEM_6},
        {Qt::Key_BraceRight, VK_OEM_6},
        {Qt::Key_Apostrophe, VK_OEM_7},
        {Qt::Key_QuoteDbl, VK_OEM_7},
        {Qt::Key_Plus, VK_OEM_PLUS},
        {Qt::Key_Asterisk, '8'},
};

// The keypad's own codes; Qt marks keypad keys with KeypadModifier.
Word KeypadKey(int key)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<Word>(VK_NUMPAD0 + (key - Qt::Key_0));
    switch (key) {
    case Qt::Key_Asterisk: return VK_MULTIPLY;
    case Qt::Key_Plus: return VK_ADD;
    case Qt::Key_Minus: return VK_SUBTRACT;
    case Qt::Key_Period:
    case Qt::Key_Comma: return VK_DECIMAL;
    case Qt::Key_Slash: return VK_DIVIDE;
    case Qt::Key_Enter: return VK_RETURN;
    default: return 0;
    }
}

}  // namespace

Word VirtualKeyOf(const QKeyEvent& Event)
{
    const int key = Event.key();
    if (Event.modifiers() & Qt::KeypadModifier) {
        if (Word vk = KeypadKey(key))
            return vk;
    }
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) {
        return static_cast<Word>(key);  // Qt's codes are the ASCII ones here
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<Word>(VK_F1 + (key - Qt::Key_F1));
    // Shifted digits arrive as their symbols: the code is the digit's key.
    static constexpr char ShiftedDigits[] = ")!@#$%^&*(";
    for (int i = 0; i < 10; ++i) {
        if (key == ShiftedDigits[i])
            return static_cast<Word>('0' + i);
    }
    for (const KeyPair& pair : KeyTable) {
        if (pair.Qt == key)
            return pair.Vk;
    }
    return 0;
}

QKeyCombination QtKeyOf(Word Key)
{
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z'))
        return QKeyCombination(static_cast<Qt::Key>(Key));
    if (Key >= VK_F1 && Key < VK_F1 + 24)
        return QKeyCombination(static_cast<Qt::Key>(Qt::Key_F1 + (Key - VK_F1)));
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD0 + 9) {
        return QKeyCombination(Qt::KeypadModifier, static_cast<Qt::Key>(Qt::Key_0 + (Key - VK_NUMPAD0)));
    }
    for (int key : {Qt::Key_Asterisk, Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Period, Qt::Key_Slash}) {
        if (KeypadKey(key) == Key)
            return QKeyCombination(Qt::KeypadModifier, static_cast<Qt::Key>(key));
    }
    // The first of the table's keys for a code is the plain one (Tab, not Backtab).
    for (const KeyPair& pair : KeyTable) {
        if (pair.Vk == Key)
            return QKeyCombination(static_cast<Qt::Key>(pair.Qt));
    }
    return QKeyCombination(Qt::Key_unknown);
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons)
{
    TShiftState shift;
    if (Modifiers & Qt::ShiftModifier)
        shift.Include(ssShift);
    if (Modifiers & Qt::AltModifier)
        shift.Include(ssAlt);
    if (Modifiers & Qt::ControlModifier)
        shift.Include(ssCtrl);
    if (Buttons & Qt::LeftButton)
        shift.Include(ssLeft);
    if (Buttons & Qt::RightButton)
        shift.Include(ssRight);
    if (Buttons & Qt::MiddleButton)
        shift.Include(ssMiddle);
    return shift;
}

char KeyCharOf(const QKeyEvent& Event)
{
    switch (Event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return KeyChar::Enter;
    case Qt::Key_Escape: return KeyChar::Escape;
    case Qt::Key_Backspace: return KeyChar::Backspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return KeyChar::Tab;
    case Qt::Key_Delete: return 0;
    default: break;
    }
    const QString text = Event.text();
    if (text.isEmpty() || text.at(0).unicode() == 0x7F)
        return 0;
    if (Event.modifiers() & Qt::AltModifier)
        return 0;
    // Ctrl with a letter types its control character (Ctrl+V is 22), whatever text the
    // keyboard layout gave the event.
    if ((Event.modifiers() & Qt::ControlModifier) && Event.key() >= Qt::Key_A && Event.key() <= Qt::Key_Z) {
        return static_cast<char>(Event.key() - Qt::Key_A + 1);
    }
    const String bytes = FromQString(text.left(1));
    return bytes.empty() ? 0 : bytes[0];
}

QString KeyTextOf(char Key) { return ToQString(String(1, Key)); }
