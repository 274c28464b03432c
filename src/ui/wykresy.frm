# The chart window: one working-mode chart, closed by a click on its label.
Begin Form frmWykresy
  Caption = "Form1"
  Tag = "wykresy"
  BorderStyle = 0
  ClientWidth = 7680
  ClientHeight = 4860
  StartUpPosition = 2
  Begin Label Label1
    Caption = "Zamknij to okno"
    Left = 4815
    Top = 75
    Width = 2820
    Height = 360
    Tag = "zamknij_okno"
    ForeColor = &H0000C000&
    BackStyle = 0
    Alignment = 2
    Font = "MS Sans Serif" 12 700 238 Underline
    MousePointer = 99
    MouseIcon = "hand"
  End
  Begin Image Image1
    Left = 75
    Top = 75
    Width = 7545
    Height = 4725
    Stretch = True
  End
End
