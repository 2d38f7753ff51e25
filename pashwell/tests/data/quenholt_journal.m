%******************************************************************
%Quenholt
%Version 2.0
%******************************************************************
%adjust path to find quenholt files
path(path, 'C:\Program Files (x86)\Quenholt\Quenholt\Matlab')

%Create a Quenholt Section Object class
xscn = QHTXSection();
xscn.ClearAll();
xscn.SetUnitSystem( QHT_USCS);
xscn.AddRectangle( 'root','R1',4,2,0,0,0,0,0,1);
 polygon =xscn.AddArbitraryShape  ( 'P1',1);
invoke(polygon,'AddPoint',0,0);
invoke(polygon,'AddPoint',1.5,0);
invoke(polygon,'AddPoint',1.5,2);
invoke(polygon,'LinearFit','root');
xscn.CreateSubSection( 'root','Ann''s web');
xscn.RenameShape( 'R1','R"2');
xscn.TranslateShape( 'P1',0.25,-1e-05);
xscn.MeshShape( 'P1',TRIANGLE_3NODES,6,0.5,0.1);
xscn.ComputeGeomSectionProperties();
xscn.PlotResult( QHT_STRESSZZ);
xscn.RotateAll( 1,2,30);
xscn.DeleteSelected();
xscn.Undo();
