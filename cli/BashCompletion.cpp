// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BashCompletion.h"

#include "cli/CommandTable.h"

namespace glowdeck {

namespace {

// The shell code that offers what `kind` completes, then returns.
QString Offer(Completion kind, const char* words) {
    switch (kind) {
        case Completion::Nothing:
            return QStringLiteral("return");
        case Completion::Folder:
            return QStringLiteral("_filedir -d; return");
        case Completion::AnyFile:
            return QStringLiteral("_filedir; return");
        case Completion::DataFile:
            return QStringLiteral("_filedir bin; return");
        case Completion::PngFile:
            return QStringLiteral("_filedir png; return");
        case Completion::ImageFile:
            return QStringLiteral(
                "_filedir "
                "'@(bmp|BMP|jpg|JPG|jpeg|JPEG|gif|GIF|png|PNG|webp|WEBP|tif|TIF|tiff|TIFF|"
                "mp4|MP4|webm|WEBM|mkv|MKV|mov|MOV|avi|AVI)'"
                "; return");
        case Completion::SerialPort:
            return QStringLiteral(
                "COMPREPLY=($(compgen -W \"$(compgen -G '/dev/ttyUSB*' 2>/dev/null; "
                "compgen -G '/dev/ttyACM*' 2>/dev/null)\" -- \"$cur\")); return");
        case Completion::Words:
            break;
    }
    return QStringLiteral("COMPREPLY=($(compgen -W \"%1\" -- \"$cur\")); return")
        .arg(QString::fromUtf8(words));
}

}  // namespace

QString BashCompletionScript() {
    QStringList names, options, values, valued, arguments;
    for (const CommandRow& c : Commands()) {
        const QString name = QString::fromUtf8(c.name);
        names << name;
        QStringList all, takingValue;
        for (const OptionRow& o : c.options) {
            all << QString::fromUtf8(o.name);
            if (!o.value) continue;
            takingValue << QString::fromUtf8(o.name);
            values << QStringLiteral("        \"%1 %2\") %3 ;;\n")
                          .arg(name, QString::fromUtf8(o.name), Offer(o.completion, o.words));
        }
        if (!all.isEmpty())
            options << QStringLiteral("        %1) options=\"%2\" ;;\n").arg(name, all.join(' '));
        if (!takingValue.isEmpty())
            valued << QStringLiteral("        %1) valued=\" %2 \" ;;\n")
                          .arg(name, takingValue.join(' '));
        for (size_t k = 0; k < c.arguments.size(); ++k) {
            const ArgumentRow& a = c.arguments[k];
            if (a.completion != Completion::Nothing)
                arguments << QStringLiteral("        \"%1 %2\") %3 ;;\n")
                                 .arg(name)
                                 .arg(k)
                                 .arg(Offer(a.completion, a.words));
        }
    }
    return QStringLiteral(
               "# bash completion for glowdeck-cli (made by glowdeck-cli from its command table)\n"
               "_glowdeck_cli() {\n"
               "    local cur prev words cword\n"
               "    _init_completion || return\n"
               "\n"
               "    if [[ $cword -eq 1 ]]; then\n"
               "        COMPREPLY=($(compgen -W \"%1 --help --version\" -- \"$cur\"))\n"
               "        return\n"
               "    fi\n"
               "\n"
               "    local command=${words[1]} options=\"\" valued=\" \"\n"
               "    case $command in\n%2"
               "    esac\n"
               "    case $command in\n%3"
               "    esac\n"
               "    # The value of an option.\n"
               "    case \"$command $prev\" in\n%4"
               "    esac\n"
               "    if [[ $cur == -* ]]; then\n"
               "        COMPREPLY=($(compgen -W \"$options --help\" -- \"$cur\"))\n"
               "        return\n"
               "    fi\n"
               "    # Which positional argument this is: the words after the command that\n"
               "    # are neither options nor their values.\n"
               "    local position=0 k\n"
               "    for ((k = 2; k < cword; k++)); do\n"
               "        if [[ ${words[k]} == -* ]]; then\n"
               "            [[ $valued == *\" ${words[k]} \"* ]] && ((k++))\n"
               "        else\n"
               "            ((position++))\n"
               "        fi\n"
               "    done\n"
               "    case \"$command $position\" in\n%5"
               "    esac\n"
               "} && complete -F _glowdeck_cli glowdeck-cli\n")
        .arg(names.join(' '), options.join(QString()), valued.join(QString()),
             values.join(QString()), arguments.join(QString()));
}

}  // namespace glowdeck
