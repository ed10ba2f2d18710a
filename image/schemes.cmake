# Colour schemes of the style sheets. Each call generates styles/<name>.css from style.css.in;
# DESCRIPTION is the one-line comment at the top of the sheet, every other keyword fills the
# placeholder of the same name in the template with a colour given as six hex digits. BODY is
# also the palette colour: the program reads it from the sheet's first rule.
#
#   BORDER                window frame, tables, progress bars, menus and tool tips
#   TITLE_*               title bar gradient, its glyphs, and its buttons when hovered
#                         (TITLE_BOTTOM doubles as their pressed colour)
#   BUTTON_*              push buttons: frame, text, gradients, pressed colour; BUTTON_BOTTOM is
#                         also the disabled fill, BUTTON_TEXT also colours headers and tool tips
#   ACCENT                focus frames, selections, progress chunks, selected menu items
#   EDIT_BORDER           frames of edits, combo boxes and their drop-down lists
#   TEXT                  text of edits, check boxes, progress bars, menus and group boxes
#   ALTERNATE             disabled edits and alternate table rows
#   GRID                  table grid, header dividers, menu separators, group box frames
#   HEADER                table header sections and the corner button
#   MENUBAR*, MENU        menu bar text, fill and selected item; drop-down menu fill
#   SCROLL_*              scroll bar track, handle and hovered handle
#   TOOLTIP               tool tip fill
#   PANEL_*               the input panel's gradient, the frames of its labels and keys, and the
#                         text on it: the panel's colour scheme of the same name

tavrel_style_scheme(white
    DESCRIPTION "White: a light title bar with dark glyphs and a quiet grey-blue accent."
    BODY                F0F0F0
    BORDER              C4C8CC
    TITLE_TOP           FFFFFF
    TITLE_BOTTOM        F3F4F6
    TITLE_TEXT          333333
    TITLE_HOVER         E3E6EA
    BUTTON_BORDER       B8BDC2
    BUTTON_TEXT         333333
    BUTTON_TOP          FFFFFF
    BUTTON_BOTTOM       ECEEF0
    BUTTON_HOVER_TOP    F5F8FB
    BUTTON_HOVER_BOTTOM E2E8EE
    BUTTON_PRESSED      D6DDE4
    ACCENT              4A90D9
    EDIT_BORDER         BFC4C9
    TEXT                333333
    ALTERNATE           F7F8F9
    GRID                D9DCDF
    HEADER              F2F3F5
    MENUBAR_TEXT        333333
    MENUBAR             F7F7F7
    MENUBAR_SELECTED    4A90D9
    MENU                FFFFFF
    SCROLL_TRACK        F0F0F0
    SCROLL_HANDLE       C6CACE
    SCROLL_HANDLE_HOVER A9AEB3
    TOOLTIP             FFFFE8
    PANEL_TOP           EEEEEE
    PANEL_BOTTOM        E5E5E5
    PANEL_BORDER        DCDCDC
    PANEL_TEXT          000000
)

tavrel_style_scheme(blue
    DESCRIPTION "Blue: a light sky-blue body under a soft blue title bar."
    BODY                EAF7FF
    BORDER              8CC4EA
    TITLE_TOP           5AAEE6
    TITLE_BOTTOM        3C98D6
    TITLE_TEXT          FFFFFF
    TITLE_HOVER         7DC0EC
    BUTTON_BORDER       8CC4EA
    BUTTON_TEXT         1F4E6E
    BUTTON_TOP          FFFFFF
    BUTTON_BOTTOM       DDF0FC
    BUTTON_HOVER_TOP    F2FAFF
    BUTTON_HOVER_BOTTOM C9E7FA
    BUTTON_PRESSED      B5DDF7
    ACCENT              3C98D6
    EDIT_BORDER         9DCDEE
    TEXT                1F3A4D
    ALTERNATE           F4FBFF
    GRID                CFE6F5
    HEADER              D8EEFB
    MENUBAR_TEXT        1F3A4D
    MENUBAR             DDF0FC
    MENUBAR_SELECTED    3C98D6
    MENU                FFFFFF
    SCROLL_TRACK        E3F3FD
    SCROLL_HANDLE       9DCDEE
    SCROLL_HANDLE_HOVER 6FB5E3
    TOOLTIP             F4FBFF
    PANEL_TOP           DEF0FE
    PANEL_BOTTOM        C0DEF6
    PANEL_BORDER        C0DCF2
    PANEL_TEXT          386487
)

tavrel_style_scheme(gray
    DESCRIPTION "Gray: a mid-grey title bar over a light grey body."
    BODY                F0F0F0
    BORDER              7A7F85
    TITLE_TOP           8A9096
    TITLE_BOTTOM        6E7379
    TITLE_TEXT          FFFFFF
    TITLE_HOVER         9DA3A9
    BUTTON_BORDER       A0A4A8
    BUTTON_TEXT         303336
    BUTTON_TOP          FAFAFA
    BUTTON_BOTTOM       DCDDDE
    BUTTON_HOVER_TOP    FFFFFF
    BUTTON_HOVER_BOTTOM E8E9EA
    BUTTON_PRESSED      C8CACC
    ACCENT              6E7379
    EDIT_BORDER         AEB2B6
    TEXT                303336
    ALTERNATE           F5F5F5
    GRID                D4D6D8
    HEADER              E2E3E4
    MENUBAR_TEXT        303336
    MENUBAR             E6E6E6
    MENUBAR_SELECTED    6E7379
    MENU                FAFAFA
    SCROLL_TRACK        E8E8E8
    SCROLL_HANDLE       B4B8BC
    SCROLL_HANDLE_HOVER 8A9096
    TOOLTIP             FAFAFA
    PANEL_TOP           E4E4E4
    PANEL_BOTTOM        A2A2A2
    PANEL_BORDER        DCDCDC
    PANEL_TEXT          000000
)

tavrel_style_scheme(black
    DESCRIPTION "Black: a dark title bar and dark buttons over a light body."
    BODY                F0F0F0
    BORDER              1E1E1E
    TITLE_TOP           3A3A3A
    TITLE_BOTTOM        232323
    TITLE_TEXT          F0F0F0
    TITLE_HOVER         505050
    BUTTON_BORDER       1E1E1E
    BUTTON_TEXT         F0F0F0
    BUTTON_TOP          4A4A4A
    BUTTON_BOTTOM       2E2E2E
    BUTTON_HOVER_TOP    5A5A5A
    BUTTON_HOVER_BOTTOM 3C3C3C
    BUTTON_PRESSED      202020
    ACCENT              3A3A3A
    EDIT_BORDER         8A8A8A
    TEXT                202020
    ALTERNATE           F4F4F4
    GRID                CCCCCC
    HEADER              3A3A3A
    MENUBAR_TEXT        F0F0F0
    MENUBAR             2E2E2E
    MENUBAR_SELECTED    505050
    MENU                FFFFFF
    SCROLL_TRACK        E0E0E0
    SCROLL_HANDLE       5A5A5A
    SCROLL_HANDLE_HOVER 2E2E2E
    TOOLTIP             2E2E2E
    PANEL_TOP           4D4D4D
    PANEL_BOTTOM        292929
    PANEL_BORDER        C2CCD8
    PANEL_TEXT          F0F0F0
)

tavrel_style_scheme(brown
    DESCRIPTION "Gray-black: a slate title bar over a blue-grey body."
    BODY                D7DBE4
    BORDER              3E4452
    TITLE_TOP           5A6172
    TITLE_BOTTOM        434957
    TITLE_TEXT          F2F3F6
    TITLE_HOVER         6C7385
    BUTTON_BORDER       8A91A1
    BUTTON_TEXT         2A2F3A
    BUTTON_TOP          EEF0F4
    BUTTON_BOTTOM       C9CED9
    BUTTON_HOVER_TOP    F6F7FA
    BUTTON_HOVER_BOTTOM D8DCE5
    BUTTON_PRESSED      B9BFCC
    ACCENT              535A6B
    EDIT_BORDER         9AA1B0
    TEXT                2A2F3A
    ALTERNATE           EEF0F4
    GRID                C4C9D4
    HEADER              C9CED9
    MENUBAR_TEXT        2A2F3A
    MENUBAR             C9CED9
    MENUBAR_SELECTED    535A6B
    MENU                F4F5F8
    SCROLL_TRACK        CDD2DC
    SCROLL_HANDLE       8A91A1
    SCROLL_HANDLE_HOVER 5A6172
    TOOLTIP             F4F5F8
    PANEL_TOP           667481
    PANEL_BOTTOM        566373
    PANEL_BORDER        C2CCD8
    PANEL_TEXT          E7ECF0
)

tavrel_style_scheme(dev
    DESCRIPTION "Blue: a deep blue title bar over a pale steel-blue body."
    BODY                CFDDEE
    BORDER              1A4F8B
    TITLE_TOP           2C6DB5
    TITLE_BOTTOM        1F5A9C
    TITLE_TEXT          FFFFFF
    TITLE_HOVER         4383C9
    BUTTON_BORDER       7FA2CC
    BUTTON_TEXT         16365C
    BUTTON_TOP          F4F8FD
    BUTTON_BOTTOM       C4D6EC
    BUTTON_HOVER_TOP    FFFFFF
    BUTTON_HOVER_BOTTOM D5E3F3
    BUTTON_PRESSED      B0C7E3
    ACCENT              2C6DB5
    EDIT_BORDER         8EADD2
    TEXT                16365C
    ALTERNATE           EEF4FB
    GRID                BFD1E7
    HEADER              C4D6EC
    MENUBAR_TEXT        16365C
    MENUBAR             C4D6EC
    MENUBAR_SELECTED    2C6DB5
    MENU                F4F8FD
    SCROLL_TRACK        C8D8EB
    SCROLL_HANDLE       7FA2CC
    SCROLL_HANDLE_HOVER 2C6DB5
    TOOLTIP             F4F8FD
    PANEL_TOP           C0D3EB
    PANEL_BOTTOM        BCCFE7
    PANEL_BORDER        B4C2D7
    PANEL_TEXT          324C6C
)

tavrel_style_scheme(silvery
    DESCRIPTION "Silvery: a brushed silver title bar with dark glyphs."
    BODY                CFD4D8
    BORDER              8E969D
    TITLE_TOP           EEF0F2
    TITLE_BOTTOM        BCC3C9
    TITLE_TEXT          2B3036
    TITLE_HOVER         DCE0E4
    BUTTON_BORDER       959DA4
    BUTTON_TEXT         2B3036
    BUTTON_TOP          F7F8F9
    BUTTON_BOTTOM       CDD2D6
    BUTTON_HOVER_TOP    FFFFFF
    BUTTON_HOVER_BOTTOM DDE1E4
    BUTTON_PRESSED      BDC3C8
    ACCENT              6F7B86
    EDIT_BORDER         A2A9B0
    TEXT                2B3036
    ALTERNATE           EEF0F2
    GRID                C3C8CD
    HEADER              D9DDE0
    MENUBAR_TEXT        2B3036
    MENUBAR             DCE0E3
    MENUBAR_SELECTED    6F7B86
    MENU                F7F8F9
    SCROLL_TRACK        D3D8DC
    SCROLL_HANDLE       9BA3AA
    SCROLL_HANDLE_HOVER 6F7B86
    TOOLTIP             F7F8F9
    PANEL_TOP           E1E4E6
    PANEL_BOTTOM        CCD3D9
    PANEL_BORDER        B2B6B9
    PANEL_TEXT          000000
)
