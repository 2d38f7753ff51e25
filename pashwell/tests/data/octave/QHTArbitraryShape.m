% Stand-in for the polygon object that AddArbitraryShape returns: records
% its calls under the shape's name.
classdef QHTArbitraryShape < handle
  properties
    Name = '';
  end
  methods
    function obj = QHTArbitraryShape(name)
      obj.Name = name;
    end
    function AddPoint(obj, varargin)
      qht_record([obj.Name '.AddPoint'], varargin);
    end
    function LinearFit(obj, varargin)
      qht_record([obj.Name '.LinearFit'], varargin);
    end
  end
end
