// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/form.h"

#include <array>
#include <vector>

namespace quillon {

// frmmain: every control and pop-up menu item of the main window, with the
// captions, ticks and enabled states it starts with.
class MainForm : public Form {
public:
    MainForm();

    TextBox txtsend{"txtsend"};
    TextBox txtreceived{"txtreceived"};
    Label lblchat{"lblchat"};
    Label Lblchatreceived{"Lblchatreceived"};
    Button cmddial{"cmddial"};
    Button cmdre{"cmdre"};
    Button cmdcan{"cmdcan"};
    Button cmdsend{"cmdsend"};
    Button Cmddialtone{"Cmddialtone"};
    std::array<Button, 10> Cmddialn{Button{"Cmddialn(0)"}, Button{"Cmddialn(1)"}, Button{"Cmddialn(2)"},
                                    Button{"Cmddialn(3)"}, Button{"Cmddialn(4)"}, Button{"Cmddialn(5)"},
                                    Button{"Cmddialn(6)"}, Button{"Cmddialn(7)"}, Button{"Cmddialn(8)"},
                                    Button{"Cmddialn(9)"}};
    Button Cmdconfig{"Cmdconfig"};
    Grid DBGrid1{"DBGrid1"};
    ProgressBar ProgressBar1{"ProgressBar1"};

    // The pop-up menu configmenu, in display order.
    MenuItem mnuportsel{"mnuportsel", "Port Selection"};
    MenuItem mnuport1{"mnuport1", "Comm 1"};
    MenuItem mnuport2{"mnuport2", "Comm 2"};
    MenuItem mnuport3{"mnuport3", "Comm 3"};
    MenuItem mnuport4{"mnuport4", "Comm 4"};
    MenuItem mnudialprop{"mnudialprop", "Dialling Properties"};
    MenuItem mnudialtone{"mnudialtone", "Set tone dialling"};
    MenuItem mnudialpulse{"mnudialpulse", "Set pulse dialling"};
    MenuItem mnuautoredial{"mnuautoredial", "Redial When Busy"};
    MenuItem mnurtscts{"mnurtscts", "Hardware Flow Control (RTS/CTS)"};
    MenuItem mnuignorelines{"mnuignorelines", "Ignore Modem Lines"};
    MenuItem mnuaddress{"mnuaddress", "Address Book"};
    MenuItem mnuaddessadd{"mnuaddessadd", "New Entry"};
    MenuItem mnuaddressedit{"mnuaddressedit", "Edit Entry"};
    MenuItem mnuaddressremove{"mnuaddressremove", "Remove Entry"};
    MenuItem mnuaddressbar{"mnuaddressbar", "-"};
    MenuItem mnuaddressfind{"mnuaddressfind", "Find"};
    MenuItem mnuaddressall{"mnuaddressall", "Show All"};
    MenuItem mnuaddressimport{"mnuaddressimport", "Import..."};
    MenuItem mnuaddressexport{"mnuaddressexport", "Export..."};
    MenuItem mnumode{"mnumode", "Operating Mode"};
    MenuItem mnumodechat{"mnumodechat", "Chat"};
    MenuItem mnumodefile{"mnumodefile", "File Transfer"};
    MenuItem filemodebinary{"filemodebinary", "Binary"};
    MenuItem filemodetext{"filemodetext", "Text"};
    MenuItem filemodezmodem{"filemodezmodem", "ZMODEM"};
    MenuItem filemodeymodem{"filemodeymodem", "YMODEM"};
    MenuItem filemodexmodem{"filemodexmodem", "XMODEM"};
    MenuItem mnureceiveprotocol{"mnureceiveprotocol", "Receive with YMODEM/XMODEM..."};
    MenuItem mnuhelp{"mnuhelp", "Help"};
    MenuItem mnusessionlog{"mnusessionlog", "Session Log"};
    MenuItem mnucallhistory{"mnucallhistory", "Call History"};
    MenuItem mnuconversation{"mnuconversation", "Conversation"};

    // Top-level items of configmenu.
    std::vector<MenuItem*> configmenu;

    MenuItem& port_item(int n);
    // Every item of the menu tree, depth first.
    std::vector<MenuItem*> all_menu_items();

    // Asks the view to show configmenu at the mouse pointer.
    std::function<void()> on_popup_menu;
    // The input line's key press, with the view inserting the key afterwards.
    std::function<void(int)> on_txtsend_key_press;
    // Backspace typed outside the input line: the number being built loses
    // its last digit.
    std::function<void()> on_dial_backspace;
};

// Frmhelp: the help window.
class HelpForm : public Form {
public:
    HelpForm();
    Picture ImagePic{"ImagePic"};
    TextBox Txthelp{"Txthelp"};
    Label Label1{"Label1"};
};

// Frmconvert: progress of a binary-form reconversion.
class ConvertForm : public Form {
public:
    ConvertForm();
    Label Lblconvert{"Lblconvert"};
    ProgressBar ProgressBar1{"ProgressBar1"};
    Animation Animation1{"Animation1"};
};

} // namespace quillon
