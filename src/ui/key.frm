# The main window: side bar on the right, pages opened on the left, and
# everything that is not in use parked or placed below the visible area.
# The block order is the window's control order; the first block of a
# container lies on top.
Begin Form KEY
  Caption = "Konwerter - C\I"
  Tag = "glowna"
  BackColor = &H00FF8080&
  Font = "MS Sans Serif" 8.25 700 238
  BorderStyle = 1
  ClientWidth = 13590
  ClientHeight = 12525
  StartUpPosition = 2
  MinButton = True
  MaxButton = False
  Icon = "program_icon"
  # Label4 starts one pixel left of the window's edge: its caption begins
  # with a blank so that no letter is cut.
  Begin Label Label4
    Caption = " wersja 1.0"
    Left = -15
    Top = 30
    Width = 900
    Height = 360
    ForeColor = &H00C00000&
    BackStyle = 0
    Font = "MS Serif" 6 400 238
  End
  Begin Label Label1
    Caption = "Konwerter wagowy C/I 4-20 mA"
    Left = 360
    Top = 2475
    Width = 4110
    Height = 375
    ForeColor = &H0000FF00&
    BackStyle = 0
    Alignment = 2
    Font = "MS Sans Serif" 9.75 700 238
  End
  Begin PictureBox Smietnik
    Left = 3855
    Top = 9060
    Width = 645
    Height = 300
    BackColor = &H00FFFFFF&
    BorderStyle = 0
  End
  Begin PictureBox picPlik
    Left = 4800
    Top = 5100
    Width = 4620
    Height = 3780
    BackColor = &H80000005&
    ForeColor = &H80000008&
    BorderStyle = 0
    Begin PictureBox Picture22
      Left = 90
      Top = 120
      Width = 4380
      Height = 345
      BackColor = &H00FFC0C0&
      BorderStyle = 0
      Begin Label Label33
        Caption = "PARAMETRY WAGI"
        Left = 255
        Top = 60
        Width = 3870
        Height = 240
        Tag = "param_wagi"
        BackStyle = 0
        Alignment = 2
        Font = "MS Sans Serif" 8.25 700 238
      End
    End
    Begin PictureBox Picture21
      Left = 105
      Top = 525
      Width = 4380
      Height = 975
      BackColor = &H00E0E0E0&
      BorderStyle = 0
      Begin TextXP txtMaxVal
        Left = 90
        Top = 30
        Width = 1140
        Height = 360
        TabIndex = 112
        _extentx = 2011
        _extenty = 635
        backcolor = &H00FFFFFF&
        locked = 0
        text = ""
        bordercolor = &H00000000&
        bordercolorover = &H00000000&
      End
      Begin ButtonXP cmdOdbierzMax
        Left = 2370
        Top = 570
        Width = 1905
        Height = 315
        Tag = "odbierz"
        _extentx = 3360
        _extenty = 556
        font = "MS Sans Serif" 8.25 400 238
        caption = ""
        forecolor = &H80000012&
        forehover = &H00000000&
      End
      Begin ButtonXP cmdUstawMax
        Left = 75
        Top = 570
        Width = 1905
        Height = 315
        Tag = "ustaw"
        _extentx = 3360
        _extenty = 556
        font = "MS Sans Serif" 8.25 400 238
        caption = ""
        forecolor = &H80000012&
        forehover = &H00000000&
      End
      Begin Label lblMaxCap
        Caption = "Max wagi"
        Left = 1320
        Top = 45
        Width = 2955
        Height = 255
        Tag = "max_wagi"
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 700 238
      End
    End
    Begin PictureBox Picture16
      Left = 105
      Top = 1590
      Width = 4380
      Height = 2085
      BackColor = &H00E0E0E0&
      Font = "MS Sans Serif" 9.75 700 238
      BorderStyle = 0
      Begin Frame Frame2
        Caption = "Wzagi zgodne"
        Left = 1800
        Top = 60
        Width = 2505
        Height = 1590
        Tag = "wagi_zgodne"
        BackColor = &H00E0E0E0&
        Font = "MS Sans Serif" 9.75 700 238
        Begin ListBox lstWagiZgodne
          Left = 60
          Top = 240
          Width = 2385
          Height = 1200
          Font = "MS Sans Serif" 8.25 400 238
          List = "Waga A", "Waga B"
        End
      End
      Begin Frame Frame1
        Caption = "Typ ramki"
        Left = 75
        Top = 60
        Width = 1635
        Height = 1590
        Tag = "typ_ramki"
        BackColor = &H00E0E0E0&
        Font = "MS Sans Serif" 9.75 700 238
        Begin ListBox lstTypRamki
          Left = 45
          Top = 225
          Width = 1530
          Height = 1200
          Font = "MS Sans Serif" 8.25 400 238
          List = "Ramka 0", "Ramka 1", "Ramka 2", "Ramka 3", "******"
        End
      End
      Begin ButtonXP cmdOdbierzRamke
        Left = 2385
        Top = 1710
        Width = 1905
        Height = 315
        Tag = "odbierz"
        _extentx = 3360
        _extenty = 556
        font = "MS Sans Serif" 8.25 400 238
        caption = ""
        forecolor = &H80000012&
        forehover = &H00000000&
      End
      Begin ButtonXP cmdUstawRamke
        Left = 90
        Top = 1710
        Width = 1905
        Height = 315
        Tag = "ustaw"
        _extentx = 3360
        _extenty = 556
        font = "MS Sans Serif" 8.25 400 238
        caption = ""
        forecolor = &H80000012&
        forehover = &H00000000&
      End
    End
  End
  Begin PictureBox picRamka
    Left = 4800
    Top = 8900
    Width = 4620
    Height = 2460
    BackColor = &H80000005&
    ForeColor = &H80000008&
    BorderStyle = 0
    Begin PictureBox Picture20
      Left = 60
      Top = 585
      Width = 4380
      Height = 630
      BackColor = &H00E0E0E0&
      BorderStyle = 0
      Begin OptionButton Option1
        Caption = "Dane tekstowe"
        Left = 135
        Top = 105
        Width = 1935
        Height = 255
        Tag = "text"
        BackColor = &H00E0E0E0&
        Font = "MS Sans Serif" 8.25 700 238
      End
      Begin OptionButton Option2
        Caption = "Dane numeryczne"
        Left = 120
        Top = 330
        Width = 2415
        Height = 255
        Tag = "value"
        BackColor = &H00E0E0E0&
        Font = "MS Sans Serif" 8.25 700 238
        Value = True
      End
    End
    Begin PictureBox Picture19
      Left = 75
      Top = 1290
      Width = 4380
      Height = 315
      BackColor = &H00E0E0E0&
      BorderStyle = 0
      MousePointer = 99
      MouseIcon = "hand"
      Begin CheckBox chZmiana
        Caption = ""
        Left = 135
        Top = 30
        Width = 210
        Height = 225
        Tag = "hot key"
        BackColor = &H00E0E0E0&
        Font = "MS Sans Serif" 8.25 400 238
        Value = 0
      End
      Begin Label Label19
        Caption = "Zmiana ""."" >> "","""
        Left = 540
        Top = 45
        Width = 3720
        Height = 195
        Tag = "dot"
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 700 238
        MousePointer = 99
        MouseIcon = "hand"
      End
    End
    Begin PictureBox Picture18
      Left = 90
      Top = 1995
      Width = 4380
      Height = 300
      BackColor = &H00E0E0E0&
      BorderStyle = 0
      Begin CheckBox chZmianaLF
        Caption = ""
        Left = 135
        Top = 30
        Width = 210
        Height = 225
        Tag = "hot key"
        BackColor = &H00E0E0E0&
        Font = "MS Sans Serif" 8.25 400 238
        Value = 0
      End
      Begin Label lblZmianaLF
        Caption = "Usuń ""LF"""
        Left = 525
        Top = 45
        Width = 3735
        Height = 195
        Tag = "LF"
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 700 238
        MousePointer = 99
        MouseIcon = "hand"
      End
    End
    Begin PictureBox Picture17
      Left = 75
      Top = 1635
      Width = 4380
      Height = 315
      BackColor = &H00E0E0E0&
      BorderStyle = 0
      MousePointer = 99
      MouseIcon = "hand"
      Begin CheckBox chZmianaCR
        Caption = ""
        Left = 135
        Top = 30
        Width = 210
        Height = 225
        Tag = "hot key"
        BackColor = &H00E0E0E0&
        Font = "MS Sans Serif" 8.25 400 238
        Value = 0
      End
      Begin Label Label20
        Caption = "Usuń ""CR""  "
        Left = 555
        Top = 45
        Width = 3705
        Height = 195
        Tag = "CR"
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 700 238
        MousePointer = 99
        MouseIcon = "hand"
      End
    End
    Begin PictureBox Picture15
      Left = 90
      Top = 120
      Width = 4380
      Height = 345
      BackColor = &H00FFC0C0&
      BorderStyle = 0
      Begin Label Label18
        Caption = "RAMKA"
        Left = 255
        Top = 60
        Width = 3870
        Height = 240
        Tag = "block"
        BackStyle = 0
        Alignment = 2
        Font = "MS Sans Serif" 8.25 700 238
      End
    End
  End
  Begin PictureBox picZdarzenia
    Left = 9500
    Top = 5100
    Width = 4620
    Height = 3780
    BackColor = &H80000005&
    ForeColor = &H80000008&
    BorderStyle = 0
    Begin PictureBox Picture13
      Left = 90
      Top = 3300
      Width = 4380
      Height = 405
      BackColor = &H00E0E0E0&
      BorderStyle = 0
      Begin ButtonXP cmdWersja
        Left = 2295
        Top = 45
        Width = 2010
        Height = 315
        Tag = "wersja"
        _extentx = 3545
        _extenty = 556
        font = "MS Sans Serif" 8.25 400 238
        caption = ""
        forecolor = &H80000012&
        forehover = &H00000000&
      End
      Begin Label lblWersja
        Caption = ""
        Left = 135
        Top = 75
        Width = 2100
        Height = 240
        ForeColor = &H00C00000&
        BackStyle = 0
        Alignment = 2
        Font = "MS Sans Serif" 8.25 700 238
      End
    End
    Begin PictureBox Picture14
      Left = 90
      Top = 120
      Width = 4380
      Height = 345
      BackColor = &H00FFC0C0&
      BorderStyle = 0
      Begin Label Label24
        Caption = "TRYB PRACY"
        Left = 255
        Top = 60
        Width = 3870
        Height = 240
        Tag = "tryb_pracy"
        BackStyle = 0
        Alignment = 2
        Font = "MS Sans Serif" 8.25 700 238
      End
    End
    Begin PictureBox Picture12
      Left = 90
      Top = 600
      Width = 4395
      Height = 1215
      BackColor = &H00E0E0E0&
      BorderStyle = 0
      Begin OptionButton opModPracy
        Index = 0
        Caption = "- max[4mA] >> 0[12mA] << + max[20mA]"
        Left = 180
        Top = 75
        Width = 4065
        Height = 255
        Tag = "opModPracy0"
        BackColor = &H00E0E0E0&
        Font = "MS Sans Serif" 8.25 700 238
        Value = True
      End
      Begin OptionButton opModPracy
        Index = 1
        Caption = "- max[20mA] >> 0[4mA] << + max[20mA]"
        Left = 180
        Top = 442
        Width = 4065
        Height = 255
        Tag = "opModPracy1"
        BackColor = &H00E0E0E0&
        Font = "MS Sans Serif" 8.25 700 238
      End
      Begin OptionButton opModPracy
        Index = 2
        Caption = "- max[4mA] >> 0[4mA] << + max[20mA]"
        Left = 180
        Top = 810
        Width = 4065
        Height = 255
        Tag = "opModPracy2"
        BackColor = &H00E0E0E0&
        Font = "MS Sans Serif" 8.25 700 238
      End
    End
    Begin Image Image5
      Left = 90
      Top = 1860
      Width = 1995
      Height = 1380
      Stretch = True
      Picture = "chart_1"
    End
    Begin ButtonXP ButtonXP2
      Left = 2160
      Top = 1890
      Width = 2295
      Height = 315
      Tag = "pokaz_wykres"
      _extentx = 4048
      _extenty = 556
      font = "MS Sans Serif" 8.25 400 238
      caption = ""
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdOdbierzMod
      Left = 2160
      Top = 2340
      Width = 2295
      Height = 315
      Tag = "odbierz"
      _extentx = 4048
      _extenty = 556
      font = "MS Sans Serif" 8.25 400 238
      caption = ""
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdUstawMod
      Left = 2160
      Top = 2790
      Width = 2295
      Height = 315
      Tag = "ustaw"
      _extentx = 4048
      _extenty = 556
      font = "MS Sans Serif" 8.25 400 238
      caption = ""
      forecolor = &H80000012&
      forehover = &H00000000&
    End
  End
  Begin PictureBox picTransmisja
    Left = 9500
    Top = 8900
    Width = 4620
    Height = 2340
    BackColor = &H80000005&
    ForeColor = &H80000008&
    BorderStyle = 0
    Begin PictureBox picNasluch
      Left = 90
      Top = 1830
      Width = 4380
      Height = 390
      BackColor = &H00E0E0E0&
      BorderStyle = 0
      Begin CheckBox chNasluch
        Caption = ""
        Left = 105
        Top = 75
        Width = 210
        Height = 225
        BackColor = &H00E0E0E0&
        Font = "MS Sans Serif" 8.25 400 238
        Value = 0
      End
      Begin Label Label17
        Caption = "Nasłuch ciągły"
        Left = 330
        Top = 90
        Width = 4050
        Height = 195
        Tag = "print"
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 700 238
      End
    End
    Begin PictureBox Picture11
      Left = 90
      Top = 120
      Width = 4380
      Height = 345
      BackColor = &H00FFC0C0&
      BorderStyle = 0
      Begin Label Label9
        Caption = "TRANSMISJA"
        Left = 255
        Top = 60
        Width = 3870
        Height = 240
        Tag = "transmition"
        BackStyle = 0
        Alignment = 2
        Font = "MS Sans Serif" 8.25 700 238
      End
    End
    Begin PictureBox picHotKey
      Left = 105
      Top = 645
      Width = 4380
      Height = 1095
      BackColor = &H00E0E0E0&
      BorderStyle = 0
      Begin Slider Slider1
        Left = 60
        Top = 180
        Width = 4215
        Height = 225
        Value = 0
        Min = -9999
        Max = 9999
      End
      Begin Label lblMinus
        Caption = "000000"
        Left = 60
        Top = 390
        Width = 810
        Height = 225
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 700 238
      End
      Begin Label Label3
        Caption = "0"
        Left = 2100
        Top = 405
        Width = 135
        Height = 225
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 700 238
      End
      Begin Label lblPlus
        Caption = "000000"
        Left = 3465
        Top = 405
        Width = 810
        Height = 225
        BackStyle = 0
        Alignment = 1
        Font = "MS Sans Serif" 8.25 700 238
      End
      Begin TextBox Text1
        Text = "0"
        Left = 1335
        Top = 720
        Width = 1635
        Height = 285
        Font = "MS Sans Serif" 8.25 700 238
      End
    End
  End
  Begin PictureBox picNrPort
    Left = 30
    Top = 8055
    Width = 3420
    Height = 1350
    BackColor = &H00FFC0C0&
    ForeColor = &H80000008&
    BorderStyle = 0
    Begin ButtonXP ButtonXP1
      Index = 0
      Left = 2715
      Top = 435
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "0"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP ButtonXP1
      Index = 1
      Left = 180
      Top = 90
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "1"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP ButtonXP1
      Index = 2
      Left = 813
      Top = 90
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "2"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP ButtonXP1
      Index = 3
      Left = 1446
      Top = 90
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "3"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP ButtonXP1
      Index = 4
      Left = 2080
      Top = 90
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "4"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP ButtonXP1
      Index = 5
      Left = 2715
      Top = 90
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "5"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP ButtonXP1
      Index = 6
      Left = 180
      Top = 435
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "6"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP ButtonXP1
      Index = 7
      Left = 813
      Top = 435
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "7"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP ButtonXP1
      Index = 8
      Left = 1446
      Top = 435
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "8"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP ButtonXP1
      Index = 9
      Left = 2079
      Top = 435
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "9"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdOkNrPortu
      Left = 165
      Top = 780
      Width = 900
      Height = 390
      Tag = "set"
      _extentx = 1588
      _extenty = 688
      font = "MS Sans Serif" 8.25 700 238
      caption = "Zastosuj"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdNoNrPortu
      Left = 1230
      Top = 780
      Width = 900
      Height = 390
      Tag = "cancel"
      _extentx = 1588
      _extenty = 688
      font = "MS Sans Serif" 8.25 700 238
      caption = "Anuluj"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdCLRNrPortu
      Left = 2265
      Top = 780
      Width = 975
      Height = 390
      Tag = "clr"
      _extentx = 1720
      _extenty = 688
      font = "MS Sans Serif" 8.25 700 238
      caption = "CLR"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
  End
  Begin PictureBox picSpeed
    Left = 30
    Top = 9420
    Width = 2175
    Height = 375
    BackColor = &H00FFC0C0&
    ForeColor = &H80000008&
    BorderStyle = 0
    Begin ButtonXP ButtonXP4
      Left = 30
      Top = 30
      Width = 645
      Height = 270
      _extentx = 1138
      _extenty = 476
      font = "MS Sans Serif" 8.25 700 238
      caption = "4800"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP ButtonXP5
      Left = 735
      Top = 30
      Width = 645
      Height = 270
      _extentx = 1138
      _extenty = 476
      font = "MS Sans Serif" 8.25 700 238
      caption = "9600"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP ButtonXP6
      Left = 1455
      Top = 30
      Width = 645
      Height = 270
      _extentx = 1138
      _extenty = 476
      font = "MS Sans Serif" 8.25 700 238
      caption = "19200"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
  End
  Begin PictureBox picParite
    Left = 60
    Top = 9795
    Width = 2145
    Height = 390
    BackColor = &H00FFC0C0&
    ForeColor = &H80000008&
    BorderStyle = 0
    Begin ButtonXP ButtonXP7
      Left = 30
      Top = 30
      Width = 645
      Height = 270
      _extentx = 1138
      _extenty = 476
      font = "MS Sans Serif" 8.25 700 238
      caption = "N"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP ButtonXP8
      Left = 735
      Top = 30
      Width = 645
      Height = 270
      _extentx = 1138
      _extenty = 476
      font = "MS Sans Serif" 8.25 700 238
      caption = "O"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP ButtonXP9
      Left = 1425
      Top = 30
      Width = 645
      Height = 270
      _extentx = 1138
      _extenty = 476
      font = "MS Sans Serif" 8.25 700 238
      caption = "E"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
  End
  Begin PictureBox picData
    Left = 2205
    Top = 9420
    Width = 1470
    Height = 375
    BackColor = &H00FFC0C0&
    ForeColor = &H80000008&
    BorderStyle = 0
    Begin ButtonXP ButtonXP13
      Left = 45
      Top = 30
      Width = 645
      Height = 270
      _extentx = 1138
      _extenty = 476
      font = "MS Sans Serif" 8.25 700 238
      caption = "7"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP ButtonXP10
      Left = 765
      Top = 30
      Width = 645
      Height = 270
      _extentx = 1138
      _extenty = 476
      font = "MS Sans Serif" 8.25 700 238
      caption = "8"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
  End
  Begin PictureBox picStop
    Left = 2235
    Top = 9810
    Width = 1470
    Height = 390
    BackColor = &H00FFC0C0&
    ForeColor = &H80000008&
    BorderStyle = 0
    Begin ButtonXP ButtonXP12
      Left = 30
      Top = 30
      Width = 645
      Height = 270
      _extentx = 1138
      _extenty = 476
      font = "MS Sans Serif" 8.25 700 238
      caption = "1"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP ButtonXP11
      Left = 750
      Top = 30
      Width = 645
      Height = 270
      _extentx = 1138
      _extenty = 476
      font = "MS Sans Serif" 8.25 700 238
      caption = "2"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
  End
  Begin PictureBox picPoloczenie
    Left = 4800
    Top = 11000
    Width = 4620
    Height = 2340
    BackColor = &H80000005&
    ForeColor = &H80000008&
    BorderStyle = 0
    Begin PictureBox Picture5
      Left = 90
      Top = 120
      Width = 4380
      Height = 345
      BackColor = &H00FFC0C0&
      BorderStyle = 0
      Begin Label Label14
        Caption = "POŁĄCZENIE"
        Left = 255
        Top = 60
        Width = 3870
        Height = 240
        Tag = "conect"
        BackStyle = 0
        Alignment = 2
        Font = "MS Sans Serif" 8.25 700 238
      End
    End
    Begin PictureBox Picture10
      Left = 60
      Top = 926
      Width = 4380
      Height = 315
      BackColor = &H00E0E0E0&
      BorderStyle = 0
      MousePointer = 99
      MouseIcon = "hand"
      Begin Label lblSpeedCap
        Caption = "prędkość transmisji"
        Left = 105
        Top = 45
        Width = 1635
        Height = 195
        Tag = "speed"
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 700 238 Underline
        MousePointer = 99
        MouseIcon = "hand"
      End
      Begin Label lblSpeedVal
        Caption = "1"
        Left = 2655
        Top = 60
        Width = 1635
        Height = 195
        ForeColor = &H00FF0000&
        BackStyle = 0
        Alignment = 1
        Font = "MS Sans Serif" 8.25 700 238
        MousePointer = 99
        MouseIcon = "hand"
      End
    End
    Begin PictureBox Picture9
      Left = 60
      Top = 1608
      Width = 4380
      Height = 315
      BackColor = &H00E0E0E0&
      BorderStyle = 0
      MousePointer = 99
      MouseIcon = "hand"
      Begin Label lblBitsDataCap
        Caption = "bity danych"
        Left = 105
        Top = 45
        Width = 1635
        Height = 195
        Tag = "bits data"
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 700 238 Underline
        MousePointer = 99
        MouseIcon = "hand"
      End
      Begin Label lblBitsDataVal
        Caption = "1"
        Left = 2655
        Top = 45
        Width = 1635
        Height = 195
        ForeColor = &H00FF0000&
        BackStyle = 0
        Alignment = 1
        Font = "MS Sans Serif" 8.25 700 238
        MousePointer = 99
        MouseIcon = "hand"
      End
    End
    Begin PictureBox Picture8
      Left = 60
      Top = 1950
      Width = 4380
      Height = 315
      BackColor = &H00E0E0E0&
      BorderStyle = 0
      Begin Label lblBitsStopCap
        Caption = "bity stopu"
        Left = 105
        Top = 45
        Width = 1635
        Height = 195
        Tag = "bits stop"
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 700 238 Underline
        MousePointer = 99
        MouseIcon = "hand"
      End
      Begin Label lblBitsStopVal
        Caption = "1"
        Left = 2655
        Top = 45
        Width = 1635
        Height = 195
        ForeColor = &H00FF0000&
        BackStyle = 0
        Alignment = 1
        Font = "MS Sans Serif" 8.25 700 238
        MousePointer = 99
        MouseIcon = "hand"
      End
    End
    Begin PictureBox Picture7
      Left = 60
      Top = 1267
      Width = 4380
      Height = 315
      BackColor = &H00E0E0E0&
      BorderStyle = 0
      MousePointer = 99
      MouseIcon = "hand"
      Begin Label lblPariteCap
        Caption = "parzystość"
        Left = 105
        Top = 45
        Width = 1635
        Height = 195
        Tag = "parity"
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 700 238 Underline
        MousePointer = 99
        MouseIcon = "hand"
      End
      Begin Label lblPariteVal
        Caption = "1"
        Left = 2655
        Top = 45
        Width = 1635
        Height = 195
        ForeColor = &H00FF0000&
        BackStyle = 0
        Alignment = 1
        Font = "MS Sans Serif" 8.25 700 238
        MousePointer = 99
        MouseIcon = "hand"
      End
    End
    Begin PictureBox Picture4
      Left = 60
      Top = 585
      Width = 4380
      Height = 315
      BackColor = &H00E0E0E0&
      BorderStyle = 0
      Begin Label LblNrPortuCap
        Caption = "numer portu"
        Left = 120
        Top = 45
        Width = 1635
        Height = 195
        Tag = "comm"
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 700 238 Underline
        MousePointer = 99
        MouseIcon = "hand"
      End
      Begin Label lblNrPortuVal
        Caption = "1"
        Left = 2655
        Top = 45
        Width = 1635
        Height = 195
        ForeColor = &H00FF0000&
        BackStyle = 0
        Alignment = 1
        Font = "MS Sans Serif" 8.25 700 238
        MousePointer = 99
        MouseIcon = "hand"
      End
    End
  End
  Begin PictureBox Picture3
    Left = 11040
    Top = 0
    Width = 2550
    Height = 12525
    BackColor = &H00FFE0E0&
    BorderStyle = 0
    Align = 4
    Begin PictureBox Picture1
      Left = 45
      Top = 7950
      Width = 2385
      Height = 960
      BackColor = &H00FFAFAF&
      BorderStyle = 0
      Begin ButtonXP cmdWczytajPlik
        Left = 90
        Top = 150
        Width = 2190
        Height = 315
        Tag = "odczytPlik"
        _extentx = 3863
        _extenty = 556
        enabled = 0
        font = "MS Sans Serif" 8.25 400 238
        caption = ""
        forecolor = &H80000012&
        forehover = &H00000000&
      End
      Begin ButtonXP cmdZapiszPlik
        Left = 90
        Top = 540
        Width = 2190
        Height = 315
        Tag = "zapiszPlik"
        _extentx = 3863
        _extenty = 556
        enabled = 0
        font = "MS Sans Serif" 8.25 400 238
        caption = ""
        forecolor = &H80000012&
        forehover = &H00000000&
      End
    End
    Begin ButtonXP cmdStart
      Left = 210
      Top = 5865
      Width = 1875
      Height = 315
      Tag = "start"
      _extentx = 3307
      _extenty = 556
      enabled = 0
      font = "MS Sans Serif" 8.25 400 238
      caption = ""
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdZamknij
      Left = 135
      Top = 3945
      Width = 2265
      Height = 540
      Tag = "end"
      _extentx = 3995
      _extenty = 953
      font = "MS Sans Serif" 8.25 700 238
      caption = "Zamknij"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin Label Label2
      Caption = "Konwerter"
      Left = 255
      Top = 2370
      Width = 2130
      Height = 360
      Tag = "cntkonwerter"
      BackStyle = 0
      Alignment = 2
      Font = "MS Sans Serif" 9.75 700 238
    End
    Begin Label Label7
      Caption = "Plik"
      Left = 210
      Top = 7620
      Width = 2130
      Height = 360
      Tag = "cntPlik"
      BackStyle = 0
      Alignment = 2
      Font = "MS Sans Serif" 9.75 700 238
    End
    Begin Label Label12
      Caption = "Konfiguracja"
      Left = 240
      Top = 0
      Width = 2130
      Height = 360
      Tag = "CONFIG"
      BackStyle = 0
      Alignment = 2
      Font = "MS Sans Serif" 9.75 700 238
    End
    Begin PictureBox Picture2
      Left = 60
      Top = 285
      Width = 2385
      Height = 1845
      BackColor = &H00FFAFAF&
      BorderStyle = 0
      Begin Label lblzdarzenia
        Caption = "TRYB PRACY"
        Left = 540
        Top = 90
        Width = 1020
        Height = 195
        Tag = "tryb_pracy"
        ForeColor = &H00FF2020&
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 400 238
        MousePointer = 99
        MouseIcon = "hand"
      End
      Begin Image Image2
        Left = 195
        Top = 60
        Width = 300
        Height = 285
        Stretch = True
        Picture = "icon_exclamation"
      End
      Begin Label lblPlik
        Caption = "PARAMETRY WAGI"
        Left = 540
        Top = 500
        Width = 1485
        Height = 195
        Tag = "param_wagi"
        ForeColor = &H00FF2020&
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 400 238
        MousePointer = 99
        MouseIcon = "hand"
      End
      Begin Image Image6
        Left = 195
        Top = 490
        Width = 285
        Height = 255
        Stretch = True
        Picture = "icon_notepad"
      End
      Begin Label LblUstawieniaPortu
        Caption = "POŁACZENIE"
        Left = 540
        Top = 915
        Width = 1020
        Height = 195
        Tag = "conect"
        ForeColor = &H00FF2020&
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 400 238
        MousePointer = 99
        MouseIcon = "hand"
      End
      Begin Image Image3
        Left = 195
        Top = 890
        Width = 285
        Height = 270
        Stretch = True
        Picture = "icon_cable"
      End
      Begin Label lblTransmisja
        Caption = "SYMULATOR"
        Left = 570
        Top = 1320
        Width = 1005
        Height = 195
        Tag = "transmition"
        Visible = False
        Enabled = False
        ForeColor = &H00FF2020&
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 400 238
        MousePointer = 99
        MouseIcon = "hand"
      End
      Begin Image Image1
        Left = 195
        Top = 1305
        Width = 285
        Height = 255
        Visible = False
        Enabled = False
        Stretch = True
        Picture = "icon_computers"
      End
      Begin Label lblRamka
        Caption = "Ramka"
        Left = 810
        Top = 3285
        Width = 510
        Height = 195
        Tag = "BLOCK"
        ForeColor = &H00FF2020&
        BackStyle = 0
        Font = "MS Sans Serif" 8.25 400 238
        MousePointer = 99
        MouseIcon = "hand"
      End
      Begin Image Image4
        Left = 465
        Top = 3240
        Width = 285
        Height = 270
        Stretch = True
        Picture = "icon_chip"
      End
    End
    Begin PictureBox Picture6
      Left = 75
      Top = 2670
      Width = 2385
      Height = 960
      BackColor = &H00FFAFAF&
      BorderStyle = 0
      Begin ButtonXP cmdOdbierzAll
        Left = 90
        Top = 150
        Width = 2190
        Height = 315
        Tag = "odbierz"
        Visible = False
        _extentx = 3863
        _extenty = 556
        enabled = 0
        font = "MS Sans Serif" 8.25 400 238
        caption = ""
        forecolor = &H80000012&
        forehover = &H00000000&
      End
      Begin ButtonXP cmdUstawAll
        Left = 90
        Top = 540
        Width = 2190
        Height = 315
        Tag = "ustaw"
        Visible = False
        _extentx = 3863
        _extenty = 556
        enabled = 0
        font = "MS Sans Serif" 8.25 400 238
        caption = ""
        forecolor = &H80000012&
        forehover = &H00000000&
      End
    End
    Begin ButtonXP cmdUkryj
      Left = 525
      Top = 7125
      Width = 1710
      Height = 315
      Visible = False
      _extentx = 3016
      _extenty = 556
      enabled = 0
      font = "MS Sans Serif" 8.25 400 238
      caption = ""
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin Shape Shape1
      Left = 75
      Top = 240
      Width = 2415
      Height = 360
      Shape = 4
      FillColor = &H00FFD0D0&
      FillStyle = 0
      BorderColor = &H00FFD0D0&
    End
    Begin Shape Shape3
      Left = 75
      Top = 2625
      Width = 2415
      Height = 180
      Shape = 4
      FillColor = &H00FFD0D0&
      FillStyle = 0
      BorderColor = &H00FFD0D0&
    End
    Begin Shape Shape2
      Left = 45
      Top = 7890
      Width = 2415
      Height = 180
      Shape = 4
      FillColor = &H00FFD0D0&
      FillStyle = 0
      BorderColor = &H00FFD0D0&
    End
  End
  Begin Label lblLogoHandel
    Caption = "Dział handlowy: tel. (00) 000 00 00"
    Left = 420
    Top = 3270
    Width = 4110
    Height = 255
    Tag = "logoHandel"
    ForeColor = &H0000FF00&
    BackStyle = 0
    Alignment = 2
    Font = "MS Sans Serif" 8.25 700 238
  End
  Begin Label lblLogoTel
    Caption = "tel. (00) 000 00 00, faks (00) 000 00 01"
    Left = 435
    Top = 2880
    Width = 4110
    Height = 255
    Tag = "logoTel"
    ForeColor = &H0000FF00&
    BackStyle = 0
    Alignment = 2
    Font = "MS Sans Serif" 8.25 700 238
  End
  # lblLogo3 reaches below the client area, so the delivered language file
  # leaves it empty.
  Begin Label lblLogo3
    Caption = ""
    Left = 420
    Top = 4425
    Width = 4110
    Height = 210
    Tag = "logo3"
    ForeColor = &H0000FF00&
    BackStyle = 0
    Alignment = 2
    Font = "MS Sans Serif" 8.25 700 238
  End
  Begin Label lblLogo2
    Caption = ""
    Left = 420
    Top = 4170
    Width = 4110
    Height = 210
    Tag = "logo2"
    ForeColor = &H0000FF00&
    BackStyle = 0
    Alignment = 2
    Font = "MS Sans Serif" 8.25 700 238
  End
  Begin Label lblLogo1
    Caption = ""
    Left = 405
    Top = 3930
    Width = 4110
    Height = 210
    Tag = "logo1"
    ForeColor = &H0000FF00&
    BackStyle = 0
    Alignment = 2
    Font = "MS Sans Serif" 8.25 700 238
  End
  Begin Label lblHelp
    Caption = "Help"
    Left = 5400
    Top = 11700
    Width = 900
    Height = 255
    Tag = "help"
    BackStyle = 0
    Font = "MS Sans Serif" 8.25 700 238
  End
  Begin Label txtTransmisja
    Caption = "Czekaj transmisja"
    Left = 15
    Top = 3990
    Width = 4770
    Height = 435
    Tag = "wait"
    Visible = False
    BackColor = &H0080FF80&
    BackStyle = 1
    Alignment = 2
    Font = "MS Sans Serif" 13.5 700 238
  End
  Begin PictureBox picKey
    Left = 105
    Top = 10290
    Width = 3585
    Height = 1035
    BackColor = &H00FFC0C0&
    BorderStyle = 0
    Begin Label LblTypKey
      Caption = "Label10"
      Left = 225
      Top = 45
      Width = 3165
      Height = 270
      BackColor = &H80000005&
      BackStyle = 1
      Alignment = 2
      Font = "MS Sans Serif" 8.25 700 238
    End
    Begin ButtonXP cmdHotKey
      Index = 1
      Left = 30
      Top = 375
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "F1"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdHotKey
      Index = 2
      Left = 615
      Top = 375
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "F2"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdHotKey
      Index = 3
      Left = 1215
      Top = 375
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "F3"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdHotKey
      Index = 4
      Left = 1800
      Top = 375
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "F4"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdHotKey
      Index = 5
      Left = 2400
      Top = 375
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "F5"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdHotKey
      Index = 6
      Left = 2985
      Top = 375
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "F6"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdHotKey
      Index = 7
      Left = 30
      Top = 690
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "F7"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdHotKey
      Index = 8
      Left = 615
      Top = 690
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "F8"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdHotKey
      Index = 9
      Left = 1215
      Top = 690
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "F9"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdHotKey
      Index = 10
      Left = 1800
      Top = 690
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "F10"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdHotKey
      Index = 11
      Left = 2400
      Top = 690
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "F11"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
    Begin ButtonXP cmdHotKey
      Index = 12
      Left = 2985
      Top = 690
      Width = 555
      Height = 285
      _extentx = 979
      _extenty = 503
      font = "MS Sans Serif" 8.25 700 238
      caption = "F12"
      forecolor = &H80000012&
      forehover = &H00000000&
    End
  End
  Begin PictureBox picTransmit
    Left = 3900
    Top = 10290
    Width = 480
    Height = 480
    BorderStyle = 0
    Picture = "icon_computers"
  End
  Begin Image Image7
    Left = 4500
    Top = 10290
    Width = 480
    Height = 480
    Picture = "icon_cable"
  End
  Begin PictureBox PicTray
    Left = 5100
    Top = 10290
    Width = 480
    Height = 480
    BorderStyle = 0
    Picture = "program_icon"
  End
  Begin Timer Timer1
    Left = 6000
    Top = 10290
    Enabled = False
    Interval = 100
  End
  Begin Timer Timer3
    Left = 6500
    Top = 10290
    Enabled = False
    Interval = 50
  End
  Begin MSComm MSComm1
    Left = 7000
    Top = 10290
    CommPort = 1
    Settings = "9600,N,8,1"
  End
  Begin ImageList ImageList1
    Left = 7500
    Top = 10290
    ListImage = "chart_1"
    ListImage = "chart_2"
    ListImage = "chart_3"
  End
  Begin Menu mnuTray
    Caption = "Tray"
    Visible = False
    Begin Menu mnuVisible
      Caption = "Pokaż okno"
    End
    Begin Menu mnuClose
      Caption = "Zamknij"
    End
    Begin Menu mnuHelp
      Caption = "Pomoc"
    End
  End
  Begin Image TORMEX
    Left = -30
    Top = -30
    Width = 4980
    Height = 4920
    Stretch = True
    Picture = "background"
  End
End
