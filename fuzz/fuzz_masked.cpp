// Types keys into a masked field: the record editor's comment 2 laid out by
// each grid format's mask (the first byte, 0 to 14, as the Address2 setting
// names them; 15 takes a mask from the input), holding a stored text, then
// keys: characters typed, Backspace, Delete, the cursor moved, a selection
// cleared, a paste. Whatever the keys, the field shows its mask's length, a
// text nobody edited goes back unchanged, and an edited one holds only what
// the mask takes: never a comma or a control character a file cannot hold,
// and, when every key was a Windows-1252 character, nothing that a file
// would not keep as it was typed.

#include "FuzzSupport.h"

#include "Address2Format.h"
#include "Ansi.h"
#include "LangText.h"
#include "MaskedText.h"
#include "Utilities.h"

using Fuzz::require;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::startApplication(argc, argv);
    Fuzz::withoutLanguageFile();
    return 0;
}

namespace {

QString text(const QByteArray& utf8)
{
    return QString::fromUtf8(utf8);
}

bool inCodePage(const QString& s)
{
    return Ansi::toQString(Ansi::fromQString(s)) == s;
}

void holds(const MaskedText& field, bool realMask, bool ansiKeys)
{
    const QString shown = field.display(), value = field.value();
    if (field.edited()) {
        require(shown.size() == field.length() && value.size() <= field.length());
        for (int i = 0; i < value.size(); ++i) {
            const QChar c = value.at(i);
            if (field.isFixed(i))
                require(c == shown.at(i));
            else
                require(c == QLatin1Char(' ') || field.accepts(i, c));
            if (realMask)
                require(MaskedText::IsStorable(c));
        }
        if (realMask && ansiKeys)
            require(inCodePage(value));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::Reader in(data, size);
    const int format = in.byte() % 16;
    const bool realMask = format < 15;
    const QString mask = realMask ? Address2Mask(QString::number(format)) : text(in.field('\0'));
    MaskedText field(mask);
    const QString stored = text(in.field('\0'));
    field.setStored(stored);
    require(field.value() == stored);
    if (field.display() != stored)
        require(field.display().size() == field.length());

    bool ansiKeys = inCodePage(stored); // every character so far is one a file holds
    int cursor = 0;
    while (!in.atEnd()) {
        const uint8_t key = in.byte();
        switch (key % 8) {
        case 0: // Backspace
            if (const int p = field.previousInput(cursor); p >= 0) {
                require(p < cursor && !field.isFixed(p));
                field.clearRange(p, p + 1);
                cursor = p;
            }
            break;
        case 1: // Delete
            field.clearRange(cursor, cursor + 1);
            break;
        case 2: // the cursor moved (Home, End, arrows, a click)
            cursor = in.byte() % (field.length() + 1);
            break;
        case 3: { // a selection cleared (Cut)
            const int to = cursor + in.byte() % (field.length() + 1 - cursor);
            field.clearRange(cursor, to);
            break;
        }
        case 4: { // a paste, typed character by character
            const QString pasted = text(in.field('\0'));
            ansiKeys = ansiKeys && inCodePage(pasted);
            for (const QChar c : pasted) {
                const int next = field.type(cursor, c);
                if (next >= 0) {
                    require(next > cursor && next <= field.length());
                    cursor = next;
                }
            }
            break;
        }
        default: { // a key of a Windows-1252 keyboard
            const char byte = char(in.byte());
            const QChar c = Ansi::toQString(std::string_view(&byte, 1)).at(0);
            const int next = field.type(cursor, c);
            require(next == -1 || (next > cursor && next <= field.length()));
            if (next >= 0)
                cursor = next;
            break;
        }
        }
        require(cursor >= 0 && cursor <= field.length());
        holds(field, realMask, ansiKeys);
    }
    return 0;
}
