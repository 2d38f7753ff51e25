' The demo of `make run`: a macro in the language of the program's journals,
' run headless by `lorimant --run examples/demo.bas` on one new document
' (the object xscn). Files it names are relative to the current folder.
Option Explicit
Sub LorimantDemo
Dim group As String
Dim area As Double
Dim polygon As Object

' The unit system of the new section: centimetres.
xscn.SetUnitSystem QHT_SI

' Every section starts in the sub-section "root".
group = xscn.GroupCurrent

' Two extruded profiles: a T at the origin and an L beside it.
xscn.AddExtrudedT "root","T1",10,1,4,1.2,9,1.2,0.5,0.5,90,0,3,0,0,0,0
xscn.AddExtrudedL "root","L1",10,1,8,1.2,0.5,90,0,2,20,0,0,0

' A plate drawn point by point below them.
Set polygon = xscn.AddArbitraryShape ( "P1",1)
polygon.AddPoint -5,-3
polygon.AddPoint 35,-3
polygon.AddPoint 35,-1
polygon.AddPoint -5,-1
polygon.LinearFit "root"
Set polygon = Nothing

' The properties of the whole section.
xscn.ComputeGeomSectionProperties
area = xscn.GetValue(SA_Area)

' The section-properties XML, the outlines as IGES and the document.
xscn.WriteSectionProperties "demo.xml","root"
xscn.WriteIGES "demo.igs"
xscn.FileSave "demo.qhscn"

Exit Sub
End Sub
