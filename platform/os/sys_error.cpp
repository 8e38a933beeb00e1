#include "platform/os/sys_error.h"

#include <cerrno>
#include <cstring>

#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"

namespace os {

SysError ErrorFromCode(int code) {
    char buf[256];
    // GNU strerror_r returns the text, which may or may not be buf.
    const char* text = strerror_r(code, buf, sizeof buf);
    return SysError{static_cast<uint32_t>(code), Utf8ToCp1251(text ? text : "")};
}

std::string RussianErrorText(int code) {
    // The errors that finding or making a file, or starting a program, can meet.
    static const struct {
        int code;
        const char* text;
    } kTexts[] = {
        {ENOENT, "нет такого файла или каталога"_cp},
        {EACCES, "отказано в доступе"_cp},
        {EPERM, "операция не позволена"_cp},
        {ENOEXEC, "файл не является программой"_cp},
        {ENOTDIR, "часть пути не является каталогом"_cp},
        {ENAMETOOLONG, "слишком длинное имя файла"_cp},
        {ELOOP, "слишком много уровней символьных ссылок"_cp},
        {ETXTBSY, "файл программы занят"_cp},
        {ENOMEM, "недостаточно памяти"_cp},
        {EAGAIN, "ресурс временно недоступен"_cp},
        {EMFILE, "слишком много открытых файлов"_cp},
        {ENFILE, "слишком много открытых файлов"_cp},
        {EIO, "ошибка ввода-вывода"_cp},
        {EISDIR, "это каталог"_cp},
        {EROFS, "файловая система доступна только для чтения"_cp},
        {ENOSPC, "на устройстве не осталось места"_cp},
        {EDQUOT, "превышена дисковая квота"_cp},
    };
    for (const auto& t : kTexts)
        if (t.code == code) return t.text;
    return "системная ошибка "_cp + std::to_string(code);
}

SysError LastError() {
    return ErrorFromCode(errno);
}

}  // namespace os
