' The demo of `make run`: a macro in the language of the program's journals,
' run headless by `lorimant --run examples/demo.bas` on one new document
' (the object xscn). Files it names are relative to the current folder.
Option Explicit
Sub LorimantDemo
Dim group As String

' The unit system of the new section: centimetres.
xscn.SetUnitSystem QHT_SI

' Every section starts in the sub-section "root".
group = xscn.GroupCurrent

Exit Sub
End Sub
