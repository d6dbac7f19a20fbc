// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/main_form.h"

namespace quillon {

MainForm::MainForm() : Form("frmmain", "Quillon") {
    for (Control* c : std::initializer_list<Control*>{&txtsend, &txtreceived, &lblchat, &Lblchatreceived, &cmddial,
                                                      &cmdre, &cmdcan, &cmdsend, &Cmddialtone})
        add(*c);
    for (Button& b : Cmddialn) add(b);
    add(Cmdconfig);
    add(DBGrid1);
    add(ProgressBar1);

    txtreceived.read_only = true;
    lblchat.set_caption("Your chat message goes here");
    Lblchatreceived.set_caption("Incoming message goes here");
    cmddial.set_enabled(false);
    cmdre.set_enabled(false);
    cmdre.set_tooltip("Dial the last number");
    cmdcan.set_enabled(false);
    cmdsend.set_enabled(false);
    cmddial.set_tooltip("Dial");
    cmdcan.set_tooltip("Hang up");
    cmdsend.set_tooltip("Send");
    Cmddialtone.set_tooltip("Tone dialling");
    Cmdconfig.set_tooltip("Menu");
    for (int d = 0; d < 10; ++d) {
        Cmddialn[d].set_caption(std::to_string(d));
        Cmddialn[d].set_tooltip("Key " + std::to_string(d));
    }
    DBGrid1.set_visible(false);
    ProgressBar1.set_visible(false);

    mnuportsel.children = {&mnuport1, &mnuport2, &mnuport3, &mnuport4};
    mnudialprop.children = {&mnudialtone, &mnudialpulse, &mnuautoredial, &mnurtscts, &mnuignorelines};
    mnuaddress.children = {&mnuaddessadd,   &mnuaddressedit, &mnuaddressremove, &mnuaddressbar,
                           &mnuaddressfind, &mnuaddressall,  &mnuaddressimport, &mnuaddressexport};
    mnumodefile.children = {&filemodebinary, &filemodetext, &filemodezmodem, &filemodeymodem, &filemodexmodem};
    mnumode.children = {&mnumodechat, &mnumodefile, &mnureceiveprotocol};
    configmenu = {&mnuportsel, &mnudialprop, &mnuaddress, &mnumode, &mnuhelp, &mnusessionlog, &mnucallhistory,
                  &mnuconversation};

    mnuport2.set_checked(true);
    mnudialpulse.set_checked(true);
    mnumodechat.set_checked(true);

    for (MenuItem* item : all_menu_items()) add(*item);
    Cmdconfig.on_click = [this] {
        if (on_popup_menu) on_popup_menu();
    };
}

MenuItem& MainForm::port_item(int n) {
    MenuItem* items[] = {&mnuport1, &mnuport2, &mnuport3, &mnuport4};
    return *items[n - 1];
}

std::vector<MenuItem*> MainForm::all_menu_items() {
    std::vector<MenuItem*> out;
    std::function<void(MenuItem*)> walk = [&](MenuItem* item) {
        out.push_back(item);
        for (MenuItem* child : item->children) walk(child);
    };
    for (MenuItem* top : configmenu) walk(top);
    return out;
}

HelpForm::HelpForm() : Form("Frmhelp", "Quillon -- Help") {
    add(ImagePic);
    add(Txthelp);
    add(Label1);
    Txthelp.read_only = true;
    Label1.set_caption("Quillon, a communicator for modem users");
}

ConvertForm::ConvertForm() : Form("Frmconvert", "Quillon") {
    add(Lblconvert);
    add(ProgressBar1);
    add(Animation1);
    Lblconvert.set_caption("Converting  Please Wait.........");
}

} // namespace quillon
