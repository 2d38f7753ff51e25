% Stand-in for the MATLAB section class: records every call it receives.
classdef QHTXSection < handle
  methods
    function ClearAll(obj, varargin)
      qht_record('ClearAll', varargin);
    end
    function SetUnitSystem(obj, varargin)
      qht_record('SetUnitSystem', varargin);
    end
    function AddRectangle(obj, varargin)
      qht_record('AddRectangle', varargin);
    end
    function shape = AddArbitraryShape(obj, name, sign)
      qht_record('AddArbitraryShape', {name, sign});
      shape = QHTArbitraryShape(name);
    end
    function CreateSubSection(obj, varargin)
      qht_record('CreateSubSection', varargin);
    end
    function RenameShape(obj, varargin)
      qht_record('RenameShape', varargin);
    end
    function TranslateShape(obj, varargin)
      qht_record('TranslateShape', varargin);
    end
    function MeshShape(obj, varargin)
      qht_record('MeshShape', varargin);
    end
    function ComputeGeomSectionProperties(obj, varargin)
      qht_record('ComputeGeomSectionProperties', varargin);
    end
    function PlotResult(obj, varargin)
      qht_record('PlotResult', varargin);
    end
    function RotateAll(obj, varargin)
      qht_record('RotateAll', varargin);
    end
    function DeleteSelected(obj, varargin)
      qht_record('DeleteSelected', varargin);
    end
    function Undo(obj, varargin)
      qht_record('Undo', varargin);
    end
  end
end
