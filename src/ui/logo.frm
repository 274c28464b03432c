# The splash window: the logo picture, a notice against unauthorised copying
# and a contact line; it closes on "&Dalej", on Esc and after five seconds.
# Nothing of it is translated. The texts are neutral placeholders.
Begin Form LOGO
  Caption = "Konwerter C/I"
  BorderStyle = 2
  ClientWidth = 4590
  ClientHeight = 4170
  StartUpPosition = 2
  Begin CommandButton Command1
    Caption = "&Dalej"
    Left = 3240
    Top = 2040
    Width = 1095
    Height = 375
    TabIndex = 0
    Cancel = True
  End
  Begin Timer Timer1
    Left = 3960
    Top = 480
    Interval = 5000
    Enabled = True
  End
  Begin Frame Frame1
    Caption = "Konwerter C/I"
    Left = 0
    Top = 2760
    Width = 4575
    Height = 1335
    TabIndex = 1
    Begin Label Label2
      Caption = "Program jest chroniony prawem autorskim. Kopiowanie, rozpowszechnianie i udostępnianie programu lub jego części bez zgody właściciela jest zabronione."
      Left = 120
      Top = 240
      Width = 4335
      Height = 975
      TabIndex = 2
    End
  End
  Begin Label Label1
    Caption = "Dział sprzedaży: tel. 00 000 00 00, www.example.com, e-mail: sprzedaz@example.com"
    Left = 120
    Top = 1920
    Width = 3135
    Height = 735
    TabIndex = 3
    Font = "Arial" 9 400 238
  End
  Begin Label Label3
    Caption = "Właściciel programu:"
    Left = 120
    Top = 0
    Width = 2055
    Height = 255
    TabIndex = 4
  End
  Begin Image Image1
    Left = 120
    Top = 240
    Width = 2535
    Height = 855
  End
End
